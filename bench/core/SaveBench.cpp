// Saving a 1 GiB archive of 2,000 entries with one entry replaced, against cp of the
// archive: early (the whole tail moves and is journaled first), late (only the end moves)
// and with a file of the entry's own size (only that entry is written); and undoing the
// early grow against that save. A save flushes what it writes, so each is also set against
// a copy flushed to the disk (cp, then sync of the copy), measured in the same run.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/jobs/SaveJob.h"
#include "archive/jobs/UndoJob.h"
#include "archive/os/File.h"
#include "archive/store/OpenedArchive.h"
#include "bench/core/BenchArchive.h"
#include "bench/core/BenchClock.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/XcrBuilder.h"

namespace {

using namespace xcr;

using bench::kArchiveBytes;
using bench::kEntries;
using bench::shell;

constexpr int kRounds = 3;
constexpr std::int64_t kMiB = 1 << 20;

struct Scenario {
    const char* name;
    int entry;
    std::int64_t growth;
    // Whether undoing the save is measured too.
    bool undone = false;
};

}  // namespace

int main() {
    test::TempDir dir;
    const std::string pristine = dir.file("pristine.xcr");
    const std::string archive = dir.file("archive.xcr");
    const std::string copy = dir.file("copy.xcr");
    // Every save empties its staging folder of files.
    const test::TempDir staging;
    // The saves keep their undo records here, not in the user's state folder.
    const UndoOptions undo{dir.file("undo")};
    bench::writeArchive(pristine);
    const EntryTable entries = openArchive(pristine).entries;
    if (!shell("cp " + pristine + " " + archive)) {
        return 1;
    }

    const auto removeCopy = [&] { shell("rm -f " + copy); };
    // Warms the page cache with the archive's bytes.
    bench::bestOf(1, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    const bench::Run cp =
        bench::bestOf(kRounds, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    const bench::Run cpFlushed = bench::bestOf(kRounds, removeCopy, [&] {
        return shell("cp " + archive + " " + copy + " && sync " + copy);
    });
    removeCopy();

    std::printf(
        "archive of %d entries, %.0f MiB, best of %d, page cache warm; cp %.3f s, cp and sync "
        "%.3f s\n",
        kEntries, static_cast<double>(kArchiveBytes) / kMiB, kRounds, cp.seconds,
        cpFlushed.seconds);
    const Scenario scenarios[] = {{"save_early_grow", 5, kMiB, true},
                                  {"save_late_replace", kEntries - 1, kMiB},
                                  {"save_same_size", 1000, 0}};
    long peakKiB = 0;
    std::string results;
    std::string flushedResults;
    for (const Scenario& s : scenarios) {
        const std::string replacement = dir.file(std::string(s.name) + ".bin");
        const std::int64_t size = entries.placement(s.entry).size + s.growth;
        test::writeFileBytes(replacement, test::patternBytes(static_cast<std::size_t>(size), 7));
        const auto restart = [&] {
            shell("rm -rf " + undo.folder + "; cp " + pristine + " " + archive);
        };
        const auto runOnce = [&] {
            test::FakeProgress progress;
            return runSave({HeldArchive::attempt(archive),
                            entries,
                            {{s.entry, replacement}},
                            staging.path(),
                            undo},
                           progress)
                .ok();
        };
        const bench::Run save = bench::bestOf(kRounds, restart, runOnce);
        const std::int64_t length = File::open(archive, File::Access::Read).length();
        if (length != kArchiveBytes + s.growth) {
            std::fprintf(stderr, "bench: %s gave a wrong length\n", s.name);
            return 1;
        }
        std::printf("  %-18s %7.3f s  peak %5.1f MiB\n", s.name, save.seconds,
                    static_cast<double>(save.peakKiB) / 1024.0);
        char line[96];
        std::snprintf(line, sizeof line, "result %s_vs_cp %.2f\n", s.name,
                      save.seconds / cp.seconds);
        results += line;
        std::snprintf(line, sizeof line, "result %s_vs_cp_fsync %.2f\n", s.name,
                      save.seconds / cpFlushed.seconds);
        flushedResults += line;
        peakKiB = std::max(peakKiB, save.peakKiB);
        if (s.undone) {
            const bench::Run undone = bench::bestOf(
                kRounds,
                [&] {
                    restart();
                    runOnce();
                },
                [&] {
                    test::FakeProgress progress;
                    return runUndo({std::make_shared<HeldArchive>(HeldArchive::attempt(archive)),
                                    std::nullopt, undo},
                                   progress)
                               .ok() &&
                           File::open(archive, File::Access::Read).length() == kArchiveBytes;
                });
            std::printf("  %-18s %7.3f s  peak %5.1f MiB\n", "undo_early_grow", undone.seconds,
                        static_cast<double>(undone.peakKiB) / 1024.0);
            std::snprintf(line, sizeof line, "result undo_early_grow_vs_save %.2f\n",
                          undone.seconds / save.seconds);
            results += line;
            peakKiB = std::max(peakKiB, undone.peakKiB);
        }
    }
    std::printf(
        "  targets: early grow <= 4.5 x cp and <= 2.5 x cp and sync, late and same size <= 0.05 "
        "x either, undoing the early grow <= 1.2 x its save, peak < 32 MiB\n");
    std::printf("%sresult save_peak_mib %.1f\n%s", results.c_str(),
                static_cast<double>(peakKiB) / 1024.0, flushedResults.c_str());
    return 0;
}
