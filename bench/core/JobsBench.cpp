// Saving a 1 GiB archive of 2,000 entries with one early entry replaced by a file 1 MiB
// longer, against cp of the archive.
#include <cstdio>
#include <string>

#include "archive/ArchiveSession.h"
#include "archive/Directory.h"
#include "archive/File.h"
#include "archive/SaveJob.h"
#include "bench/core/BenchArchive.h"
#include "bench/core/BenchClock.h"
#include "tests/support/FakeJobHost.h"
#include "tests/support/XcrBuilder.h"

namespace {

using namespace xcr;
using bench::kArchiveBytes;
using bench::kEntries;
using bench::shell;

constexpr int kRounds = 3;
constexpr int kReplaced = 5;

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
    const std::string staging = dir.file("staging");
    const std::string replacement = dir.file("replacement.bin");
    bench::writeArchive(pristine);

    EntryTable entries;
    entries.assign(readDirectory(pristine));
    const auto placement = entries.placement(kReplaced);
    test::writeFileBytes(
        replacement, test::patternBytes(static_cast<std::size_t>(placement.size) + (1 << 20), 7));
    if (!shell("cp " + pristine + " " + archive + " && mkdir " + staging)) {
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
    report("save", save, cp);
    std::printf("  cp and a flush of the copy: %.3f s; save = %.2f x that\n", cpSync.seconds,
                save.seconds / cpSync.seconds);
    std::printf("  targets: save <= 4.5 x cp, peak < 32 MiB%s\n",
                grown ? "" : "  (SAVE GAVE A WRONG LENGTH)");
    return grown ? 0 : 1;
}
