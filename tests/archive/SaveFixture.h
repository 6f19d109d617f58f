#ifndef TESTS_ARCHIVE_SAVEFIXTURE_H
#define TESTS_ARCHIVE_SAVEFIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/format/EntryTable.h"
#include "archive/jobs/JobOutcome.h"
#include "archive/jobs/ReplacementTable.h"
#include "archive/store/HeldArchive.h"
#include "archive/undo/UndoStore.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::test {

using Entries = std::vector<std::pair<std::string, Bytes>>;

XcrBuilder builderOf(const Entries& entries);

// What a save must give, worked out without the job: the entries laid out afresh with
// their new data, the total size field holding the new end of the data, and the old
// bytes past that end kept (the file is never shortened).
Bytes expectedAfterSave(const Entries& entries, const Bytes& old);

// The archive at `path` held for an undo, as the window holds it when undo is chosen.
// Saves are asked for the same way, the archive held for writing.
std::shared_ptr<HeldArchive> heldForUndo(const std::string& path);

// Regular files in a folder, sorted.
std::vector<std::string> filesIn(const std::string& folder);

// An archive opened as the window opens it, replacements recorded as Replace records
// them, and saves run as the window runs them: the table of a successful save replaces
// the one before.
class SaveFixture : public ::testing::Test {
protected:
    void openArchive(const Bytes& bytes);
    void replace(int index, const Bytes& data);
    JobOutcome save(const std::function<void(FakeProgress&)>& prepare = {});
    JobOutcome saveOnWorkerThread();
    // Undoes the last save as the window does, through the table it lists.
    JobOutcome undoLastSave();

    // The table describes the file on disk.
    void expectTableMatchesFile();
    // The archive and the table exactly as before the save; no journal left.
    void expectUnchanged();
    std::string archivePath() const { return dir.file("a.xcr"); }
    std::string journalPath() const { return archivePath() + "-journal"; }

    TempDir dir;
    TempDir stagingDir;
    TempDir stateDir;
    UndoOptions undo{stateDir.file("undo")};
    EntryTable entries;
    ReplacementTable replacements;
    std::unique_ptr<FakeProgress> progress = std::make_unique<FakeProgress>();
    Bytes original;
    std::vector<EntryTable::Placement> originalPlacements;
};

}  // namespace xcr::test

#endif  // TESTS_ARCHIVE_SAVEFIXTURE_H
