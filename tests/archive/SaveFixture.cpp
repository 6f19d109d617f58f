#include "tests/archive/SaveFixture.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

#include "archive/format/Directory.h"
#include "archive/jobs/ReplacementSource.h"
#include "archive/jobs/SaveJob.h"
#include "archive/jobs/UndoJob.h"
#include "archive/store/OpenedArchive.h"

namespace xcr::test {

XcrBuilder builderOf(const Entries& entries) {
    XcrBuilder builder;
    for (const auto& [name, data] : entries) {
        builder.add(name, data);
    }
    return builder;
}

Bytes expectedAfterSave(const Entries& entries, const Bytes& old) {
    Bytes out = builderOf(entries).build();
    putNumber(out, 24, static_cast<std::int32_t>(out.size()));
    if (old.size() > out.size()) {
        out.insert(out.end(), old.begin() + static_cast<std::ptrdiff_t>(out.size()), old.end());
    }
    return out;
}

std::shared_ptr<HeldArchive> heldForUndo(const std::string& path) {
    return std::make_shared<HeldArchive>(
        HeldArchive::attempt(path, HeldArchive::Access::ReadWrite));
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    if (dir) {
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void SaveFixture::openArchive(const Bytes& bytes) {
    original = bytes;
    writeFileBytes(archivePath(), bytes);
    entries = xcr::openArchive(archivePath()).entries;
    replacements.clear();
    originalPlacements = entries.placements();
}

void SaveFixture::replace(int index, const Bytes& data) {
    const std::string path = dir.file("replacement" + std::to_string(index));
    writeFileBytes(path, data);
    replacements.record(index, path, identifyReplacement(path));
}

JobOutcome SaveFixture::save(const std::function<void(FakeProgress&)>& prepare) {
    progress = std::make_unique<FakeProgress>();
    if (prepare) {
        prepare(*progress);
    }
    JobOutcome outcome =
        runSave({HeldArchive::attempt(archivePath(), HeldArchive::Access::ReadWrite), entries,
                 replacements.list(), stagingDir.path(), undo},
                *progress);
    if (outcome.savedEntries) {
        entries = *outcome.savedEntries;
    }
    return outcome;
}

JobOutcome SaveFixture::undoLastSave() {
    progress = std::make_unique<FakeProgress>();
    JobOutcome outcome = runUndo({heldForUndo(archivePath()), entries, undo}, *progress);
    if (outcome.savedEntries) {
        entries = *outcome.savedEntries;
    }
    return outcome;
}

JobOutcome SaveFixture::saveOnWorkerThread() {
    JobOutcome outcome;
    std::thread worker([&] { outcome = save(); });
    worker.join();
    return outcome;
}

void SaveFixture::expectTableMatchesFile() {
    File archive = File::open(archivePath(), File::Access::Read);
    EXPECT_EQ(readFingerprint(archive, entries.count()), entries.fingerprint());
    // A file cut inside its directory may list more records once a save made it longer.
    const EntryTable onDisk = readEntryTable(archive);
    ASSERT_GE(onDisk.count(), entries.count());
    for (int i = 0; i < entries.count(); ++i) {
        EXPECT_EQ(onDisk.placement(i), entries.placement(i)) << i;
    }
}

void SaveFixture::expectUnchanged() {
    EXPECT_EQ(readFileBytes(archivePath()), original);
    EXPECT_EQ(entries.placements(), originalPlacements);
    struct stat info {};
    EXPECT_NE(::lstat(journalPath().c_str(), &info), 0) << "a journal was left";
}

}  // namespace xcr::test
