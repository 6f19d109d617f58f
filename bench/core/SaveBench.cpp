// Saving a 1 GiB archive of 2,000 entries with one entry replaced, against cp of the
// archive: early (the whole tail moves and is journaled first), late (only the end moves)
// and with a file of the entry's own size (only that entry is written); and undoing the
// early grow against that save. A save flushes what it writes, so each is also set against
// a copy flushed to the disk (cp, then sync of the copy), measured in the same rounds.
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

// Even, so that each order of the runs comes as often.
constexpr int kRounds = 4;
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

    // Every timed run starts with nothing dirty (inChild flushes first); the copy is
    // removed untimed after each run, so no run pays for another's writing.
    const auto timedCopy = [&](bool flushed) {
        const bench::Run run = bench::inChild([&] {
            return shell("cp " + pristine + " " + copy + (flushed ? " && sync " + copy : ""));
        });
        shell("rm -f " + copy);
        return run;
    };
    // Warms the page cache with the archive's bytes.
    timedCopy(false);

    std::printf(
        "archive of %d entries, %.0f MiB, best of %d, page cache warm; each save taking turns "
        "with cp and with cp and sync of the archive\n",
        kEntries, static_cast<double>(kArchiveBytes) / kMiB, kRounds);
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
        const auto timedSave = [&] {
            restart();
            const bench::Run run = bench::inChild(runOnce);
            if (File::open(archive, File::Access::Read).length() != kArchiveBytes + s.growth) {
                std::fprintf(stderr, "bench: %s gave a wrong length\n", s.name);
                std::exit(1);
            }
            return run;
        };
        // The save and the two copies take turns, in one order and then in the reverse one,
        // so that a busy moment of the machine weighs on all alike.
        bench::Run save;
        bench::Run cp;
        bench::Run cpFlushed;
        for (int round = 0; round < kRounds; ++round) {
            for (int turn = 0; turn < 3; ++turn) {
                switch (round % 2 == 0 ? turn : 2 - turn) {
                    case 0:
                        bench::keepBest(save, timedSave(), round);
                        break;
                    case 1:
                        bench::keepBest(cpFlushed, timedCopy(true), round);
                        break;
                    default:
                        bench::keepBest(cp, timedCopy(false), round);
                        break;
                }
            }
        }
        std::printf("  %-18s %7.3f s  peak %5.1f MiB; cp %.3f s, cp and sync %.3f s\n", s.name,
                    save.seconds, static_cast<double>(save.peakKiB) / 1024.0, cp.seconds,
                    cpFlushed.seconds);
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
