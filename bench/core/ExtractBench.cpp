// Extracting every entry of a 1 GiB archive of 2,000 entries, against cp of the archive
// and cp -r of the extracted files, and what a flush to disk of each file would add.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

#include "archive/jobs/CheckMarks.h"
#include "archive/jobs/ExtractionJob.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/File.h"
#include "archive/os/OutputFolder.h"
#include "archive/paths/OutputFile.h"
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

constexpr int kRounds = 5;
// A flush per file costs seconds more than the rest; two runs show it well enough.
constexpr int kFlushedRounds = 2;

// The job's own steps for every entry, with each file flushed to the disk before it takes
// its name.
bool extractFlushingEachFile(const std::string& archivePath, const EntryTable& entries,
                             const std::string& folder) {
    try {
        File archive = File::open(archivePath, File::Access::Read);
        const OutputFolder outputs(folder);
        for (int i = 0; i < entries.count(); ++i) {
            OutputFile output(outputs, entries.displayName(i));
            const EntryTable::Placement placement = entries.placement(i);
            copyRange(archive, placement.offset, output.file(), 0, placement.size);
            output.file().sync();
            output.commit();
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void keepBest(bench::Run& best, const bench::Run& run, int round) {
    if (round == 0 || run.seconds < best.seconds) {
        best.seconds = run.seconds;
    }
    best.peakKiB = std::max(best.peakKiB, run.peakKiB);
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
    const std::string archive = dir.file("archive.xcr");
    const std::string copy = dir.file("copy.xcr");
    bench::writeArchive(archive);
    const EntryTable entries = openArchive(archive).entries;
    auto marks = std::make_shared<CheckMarks>(entries.count());
    marks->setAll(true);

    const auto removeCopy = [&] { shell("rm -f " + copy); };
    // Warms the page cache with the archive's bytes.
    bench::bestOf(1, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    const bench::Run cp =
        bench::bestOf(kRounds, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    removeCopy();

    // Extraction and cp -r of the files it wrote take turns, so that a busy moment of the
    // machine weighs on both alike. Every run writes into a folder of its own and nothing
    // is deleted until the end: some file systems make a new file slower while many
    // files were deleted recently, which would weigh on whichever run came next.
    bench::Run extraction;
    bench::Run cpFiles;
    for (int round = 0; round < kRounds; ++round) {
        const std::string out = dir.file("out" + std::to_string(round));
        if (!shell("mkdir " + out)) {
            return 1;
        }
        keepBest(extraction, bench::inChild([&] {
                     test::FakeProgress progress;
                     return runExtraction({HeldArchive::attempt(archive), out, entries, marks},
                                          progress)
                         .ok();
                 }),
                 round);
        keepBest(cpFiles, bench::inChild([&] {
                     return shell("cp -r " + out + " " + dir.file("copy" + std::to_string(round)));
                 }),
                 round);
    }
    bench::Run flushed;
    for (int round = 0; round < kFlushedRounds; ++round) {
        const std::string out = dir.file("flushed" + std::to_string(round));
        if (!shell("mkdir " + out)) {
            return 1;
        }
        keepBest(flushed,
                 bench::inChild([&] { return extractFlushingEachFile(archive, entries, out); }),
                 round);
    }

    const double ratio = extraction.seconds / cpFiles.seconds;
    std::printf("archive of %d entries, %.0f MiB, best of %d, page cache warm\n", kEntries,
                static_cast<double>(kArchiveBytes) / (1 << 20), kRounds);
    report("cp", cp, cp);
    report("extract", extraction, cp);
    std::printf("  cp -r of the %d extracted files: %.3f s; extract = %.2f x that\n", kEntries,
                cpFiles.seconds, ratio);
    std::printf(
        "  extract flushing each file to disk before its rename (best of %d): %.3f s = "
        "%.2f x cp -r\n",
        kFlushedRounds, flushed.seconds, flushed.seconds / cpFiles.seconds);
    std::printf("  targets: extract <= 1.15 x cp -r of its files, peak < 32 MiB\n");
    std::printf("result extract_vs_cp_files %.2f\n", ratio);
    return 0;
}
