#ifndef BENCH_CORE_BENCHARCHIVE_H
#define BENCH_CORE_BENCHARCHIVE_H

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/EntryTable.h"
#include "archive/File.h"
#include "archive/XcrLayout.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::bench {

// The seeded archive the job benchmarks run on: 1 GiB in 2,000 entries of equal size.
inline constexpr int kEntries = 2000;
inline constexpr std::int64_t kArchiveBytes = std::int64_t{1} << 30;

// Writes the archive entry by entry, so the bench itself stays small in memory.
inline void writeArchive(const std::string& path) {
    const std::int64_t dataStart = layout::directoryEnd(kEntries);
    const std::int64_t each = (kArchiveBytes - dataStart) / kEntries;
    const auto sizeOf = [&](int i) {
        return i + 1 < kEntries ? each : kArchiveBytes - dataStart - each * i;
    };
    test::XcrBuilder directory;
    for (int i = 0; i < kEntries; ++i) {
        directory.add("data\\entry" + std::to_string(i) + ".bin", test::Bytes{});
    }
    test::Bytes head = directory.build();
    head.resize(static_cast<std::size_t>(dataStart));
    for (int i = 0; i < kEntries; ++i) {
        test::putNumber(head, static_cast<std::size_t>(layout::offsetPos(i)),
                        static_cast<std::int32_t>(dataStart + each * i));
        test::putNumber(head, static_cast<std::size_t>(layout::offsetPos(i) + 4),
                        static_cast<std::int32_t>(sizeOf(i)));
    }
    File file = File::open(path, File::Access::Create);
    file.writeAll(head.data(), head.size());
    for (int i = 0; i < kEntries; ++i) {
        const test::Bytes data = test::patternBytes(static_cast<std::size_t>(sizeOf(i)), 1000u + i);
        file.writeAll(data.data(), data.size());
    }
}

inline bool shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

inline std::vector<std::string> entryNames(const EntryTable& entries) {
    std::vector<std::string> names;
    for (int i = 0; i < entries.count(); ++i) {
        names.push_back(entries.displayName(i));
    }
    return names;
}

}  // namespace xcr::bench

#endif  // BENCH_CORE_BENCHARCHIVE_H
