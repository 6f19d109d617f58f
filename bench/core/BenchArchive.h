#ifndef BENCH_CORE_BENCHARCHIVE_H
#define BENCH_CORE_BENCHARCHIVE_H

#include <cstdint>
#include <cstdlib>
#include <string>

#include "archive/format/XcrLayout.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::bench {

// The seeded archive the job benchmarks run on: 1 GiB in 2,000 entries of equal size.
inline constexpr int kEntries = 2000;
inline constexpr std::int64_t kArchiveBytes = std::int64_t{1} << 30;

// Writes the archive a piece at a time, so the bench itself stays small in memory.
inline void writeArchive(const std::string& path) {
    const std::int64_t dataStart = layout::directoryEnd(kEntries);
    const std::int64_t each = (kArchiveBytes - dataStart) / kEntries;
    test::XcrBuilder builder;
    for (int i = 0; i < kEntries; ++i) {
        const std::int64_t size = i + 1 < kEntries ? each : kArchiveBytes - dataStart - each * i;
        builder.addPattern("data\\entry" + std::to_string(i) + ".bin",
                           static_cast<std::size_t>(size), 1000u + static_cast<unsigned>(i));
    }
    builder.plain().streamTo(path);
}

inline bool shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

}  // namespace xcr::bench

#endif  // BENCH_CORE_BENCHARCHIVE_H
