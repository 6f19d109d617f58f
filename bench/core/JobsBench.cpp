// Extracting every entry of a 1 GiB archive of 2,000 entries, and saving it with one
// early entry replaced by a file 1 MiB longer, each against cp of the archive.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/ArchiveSession.h"
#include "archive/Directory.h"
#include "archive/ExtractionJob.h"
#include "archive/File.h"
#include "archive/SaveJob.h"
#include "archive/XcrLayout.h"
#include "bench/core/BenchClock.h"
#include "tests/support/FakeJobHost.h"
#include "tests/support/XcrBuilder.h"

namespace {

using namespace xcr;

constexpr int kEntries = 2000;
constexpr std::int64_t kArchiveBytes = std::int64_t{1} << 30;
constexpr int kRounds = 3;
constexpr int kReplaced = 5;

// Writes the archive entry by entry, so the bench itself stays small in memory.
void writeArchive(const std::string& path) {
    const std::int64_t dataStart = layout::directoryEnd(kEntries);
    const std::int64_t each = (kArchiveBytes - dataStart) / kEntries;
    test::XcrBuilder directory;
    for (int i = 0; i < kEntries; ++i) {
        directory.add("data\\entry" + std::to_string(i) + ".bin", test::Bytes{});
    }
    test::Bytes head = directory.build();
    head.resize(static_cast<std::size_t>(dataStart));
    for (int i = 0; i < kEntries; ++i) {
        const std::int64_t size = i + 1 < kEntries ? each : kArchiveBytes - dataStart - each * i;
        test::putNumber(head, static_cast<std::size_t>(layout::offsetPos(i)),
                        static_cast<std::int32_t>(dataStart + each * i));
        test::putNumber(head, static_cast<std::size_t>(layout::offsetPos(i) + 4),
                        static_cast<std::int32_t>(size));
    }
    File file = File::open(path, File::Access::Create);
    file.writeAll(head.data(), head.size());
    for (int i = 0; i < kEntries; ++i) {
        const std::int64_t size = i + 1 < kEntries ? each : kArchiveBytes - dataStart - each * i;
        const test::Bytes data = test::patternBytes(static_cast<std::size_t>(size), 1000u + i);
        file.writeAll(data.data(), data.size());
    }
}

bool shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::vector<std::string> entryNames(const EntryTable& entries) {
    std::vector<std::string> names;
    for (int i = 0; i < entries.count(); ++i) {
        names.push_back(entries.displayName(i));
    }
    return names;
}

void report(const char* what, const bench::Run& run, const bench::Run& cp) {
    const double mb = static_cast<double>(kArchiveBytes) / 1e6;
    std::printf("  %-10s %7.3f s  %7.0f MB/s  %8.0f entries/s  peak %6.1f MiB  %5.2f x cp\n", what,
                run.seconds, mb / run.seconds, kEntries / run.seconds,
                static_cast<double>(run.peakKiB) / 1024.0, run.seconds / cp.seconds);
}

}  // namespace

int main() {
    test::TempDir dir;
    const std::string pristine = dir.file("pristine.xcr");
    const std::string archive = dir.file("archive.xcr");
    const std::string copy = dir.file("copy.xcr");
    const std::string out = dir.file("out");
    const std::string staging = dir.file("staging");
    const std::string replacement = dir.file("replacement.bin");
    writeArchive(pristine);

    EntryTable entries;
    entries.assign(readDirectory(pristine));
    const auto placement = entries.placement(kReplaced);
    test::writeFileBytes(
        replacement, test::patternBytes(static_cast<std::size_t>(placement.size) + (1 << 20), 7));
    if (!shell("cp " + pristine + " " + archive + " && mkdir " + out + " " + staging)) {
        return 1;
    }

    const auto removeCopy = [&] { shell("rm -f " + copy); };
    // Warms the page cache with the archive's bytes.
    bench::bestOf(1, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    const bench::Run cp =
        bench::bestOf(kRounds, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    // A save ends with the archive flushed to disk, which cp does not do: this is the
    // like-for-like floor for it.
    const bench::Run cpSync = bench::bestOf(kRounds, removeCopy, [&] {
        return shell("cp " + archive + " " + copy + " && sync " + copy);
    });
    removeCopy();

    const bench::Run extraction = bench::bestOf(
        kRounds, [&] { shell("rm -f " + out + "/*"); },
        [&] {
            test::FakeJobHost host(entryNames(entries));
            host.setAllChecked(true);
            host.setChooserFolder(out);
            return runExtraction(archive, entries, host).ok();
        });
    // cp of the same 2,000 files shows what creating that many files costs here.
    const std::string outCopy = dir.file("outcopy");
    const bench::Run cpFiles = bench::bestOf(
        kRounds, [&] { shell("rm -rf " + outCopy); },
        [&] { return shell("cp -r " + out + " " + outCopy); });
    shell("rm -rf " + outCopy + " " + out + "/*");

    const bench::Run save = bench::bestOf(
        kRounds, [&] { shell("cp " + pristine + " " + archive); },
        [&] {
            ArchiveSession session{{}, {}, StagingFolder(staging)};
            session.entries.assign(readDirectory(archive));
            session.replacements.resetFor(session.entries.count());
            session.replacements.record(kReplaced, replacement);
            test::FakeJobHost host;
            return runSave(archive, session, host).ok();
        });
    const bool grown =
        File::open(archive, File::Access::Read).length() == kArchiveBytes + (1 << 20);

    std::printf("archive of %d entries, %.0f MiB, best of %d, page cache warm\n", kEntries,
                static_cast<double>(kArchiveBytes) / (1 << 20), kRounds);
    report("cp", cp, cp);
    report("extract", extraction, cp);
    report("save", save, cp);
    std::printf("  cp and a flush of the copy: %.3f s; save = %.2f x that\n", cpSync.seconds,
                save.seconds / cpSync.seconds);
    std::printf("  cp of the %d extracted files: %.3f s; extract = %.2f x that\n", kEntries,
                cpFiles.seconds, extraction.seconds / cpFiles.seconds);
    std::printf("  targets: extract <= 1.25 x cp, save <= 4.5 x cp, peak < 32 MiB%s\n",
                grown ? "" : "  (SAVE GAVE A WRONG LENGTH)");
    return grown ? 0 : 1;
}
