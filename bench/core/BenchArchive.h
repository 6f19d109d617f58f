#ifndef BENCH_CORE_BENCHARCHIVE_H
#define BENCH_CORE_BENCHARCHIVE_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

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

// Leaves the file in the page cache as reading it from the disk does: flushed, dropped
// from the cache, then read through once. The builder's writes leave the archive's cached
// bytes in many small pieces, which every later read pays for, where a read leaves them
// in large ones.
inline void cacheAsRead(const std::string& path) {
    ::sync();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    static_cast<void>(::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED));
    std::vector<char> buffer(std::size_t{1} << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

inline bool shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

}  // namespace xcr::bench

#endif  // BENCH_CORE_BENCHARCHIVE_H
