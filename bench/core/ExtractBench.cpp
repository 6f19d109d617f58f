// Extracting every entry of a 1 GiB archive of 2,000 entries, against cp of the archive
// and cp -r of the extracted files, and what a flush to disk of each file would add.
#include <cstdio>
#include <cstdlib>
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

// One timed run that writes the folder `out`: it starts with nothing dirty (inChild flushes
// first) and its files are removed, untimed, once it ends, so no run pays for another's
// writing or keeps the disk busy for the next.
template <typename Work>
bench::Run timedInto(const std::string& out, bool makeFolder, Work work) {
    if (makeFolder && !shell("mkdir " + out)) {
        std::fprintf(stderr, "bench: cannot make %s\n", out.c_str());
        std::exit(1);
    }
    const bench::Run run = bench::inChild(work);
    shell("rm -rf " + out);
    return run;
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

    // The archive is in the page cache as a read leaves it; the files cp -r copies stay as
    // the job wrote them, whole, the way cp -r reads fastest.
    bench::cacheAsRead(archive);
    const auto removeCopy = [&] { shell("rm -f " + copy); };
    // Warms the page cache with the archive's bytes.
    bench::bestOf(1, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    const bench::Run cp =
        bench::bestOf(kRounds, removeCopy, [&] { return shell("cp " + archive + " " + copy); });
    removeCopy();

    // cp -r copies files the job wrote once, untimed, and kept whole.
    const std::string files = dir.file("files");
    const std::string out = dir.file("out");
    test::FakeProgress progress;
    if (!shell("mkdir " + files) ||
        !runExtraction({HeldArchive::attempt(archive), files, entries, marks}, progress).ok()) {
        return 1;
    }
    const auto extract = [&] {
        test::FakeProgress quiet;
        return runExtraction({HeldArchive::attempt(archive), out, entries, marks}, quiet).ok();
    };
    const auto copyFiles = [&] { return shell("cp -r " + files + " " + out); };
    // One untimed run of each first: the first to write a gibibyte of new files may pay
    // for memory the system has not handed out before.
    timedInto(out, false, copyFiles);
    timedInto(out, true, extract);
    // Extraction and cp -r take turns, each going first every other round, so that a busy
    // moment of the machine weighs on both alike. Some file systems make a file more slowly
    // the more files were removed in the last minute, so the earliest runs tend to be the
    // best: cp -r goes first.
    bench::Run extraction;
    bench::Run cpFiles;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            bench::keepBest(cpFiles, timedInto(out, false, copyFiles), round);
            bench::keepBest(extraction, timedInto(out, true, extract), round);
        } else {
            bench::keepBest(extraction, timedInto(out, true, extract), round);
            bench::keepBest(cpFiles, timedInto(out, false, copyFiles), round);
        }
    }
    bench::Run flushed;
    for (int round = 0; round < kFlushedRounds; ++round) {
        bench::keepBest(
            flushed,
            timedInto(out, true, [&] { return extractFlushingEachFile(archive, entries, out); }),
            round);
    }

    const double ratio = extraction.seconds / cpFiles.seconds;
    std::printf(
        "archive of %d entries, %.0f MiB, best of %d, page cache warm, each run from a flushed "
        "disk and its output removed after it\n",
        kEntries, static_cast<double>(kArchiveBytes) / (1 << 20), kRounds);
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
