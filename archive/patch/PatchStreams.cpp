#include "archive/patch/PatchStreams.h"

#include <algorithm>
#include <vector>

#include "archive/format/Checksum.h"
#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"

namespace xcr {
inline namespace patch {

std::uint64_t streamRange(File& source, std::int64_t position, std::int64_t size,
                          const ByteSink& sink) {
    thread_local std::vector<unsigned char> buffer(kCopyBufferSize);
    Checksum sum;
    std::int64_t done = 0;
    while (done < size) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::int64_t>(size - done, buffer.size()));
        const std::size_t got = source.readAt(position + done, buffer.data(), chunk);
        if (got < chunk) {
            throw Failure(kStreamReadError);
        }
        sum.add(buffer.data(), got);
        if (sink) {
            sink(buffer.data(), got);
        }
        done += static_cast<std::int64_t>(got);
    }
    return sum.value();
}

}  // namespace patch
}  // namespace xcr
