#include "archive/os/EntryCopy.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/os/Failure.h"

namespace xcr {
inline namespace os {

namespace {
// One buffer per thread: the jobs and the previews copy on different threads.
std::vector<unsigned char>& copyBuffer() {
    thread_local std::vector<unsigned char> buffer(kCopyBufferSize);
    return buffer;
}
}  // namespace

void copyRange(File& source, std::int64_t from, File& target, std::int64_t to, std::int64_t size) {
    if (from < 0 || size < 0) {
        throw Failure(kStreamReadError);
    }
    // The kernel copies without passing the bytes through this process; where it cannot or
    // would be slower, or fails part-way, the buffer takes over from where it stopped.
    std::int64_t done = 0;
    while (done < size) {
        const std::int64_t copied = source.copyRangeTo(target, from + done, to + done,
                                                       static_cast<std::size_t>(size - done));
        if (copied <= 0) {
            break;
        }
        done += copied;
    }
    while (done < size) {
        auto& buffer = copyBuffer();
        const auto chunk =
            static_cast<std::size_t>(std::min<std::int64_t>(size - done, buffer.size()));
        const std::size_t got = source.readAt(from + done, buffer.data(), chunk);
        target.writeAt(to + done, buffer.data(), got);
        if (got < chunk) {
            throw Failure(kStreamReadError);
        }
        done += static_cast<std::int64_t>(got);
    }
}

bool sameRange(File& first, std::int64_t from, File& second, std::int64_t to, std::int64_t size) {
    if (from < 0 || to < 0 || size < 0) {
        throw Failure(kStreamReadError);
    }
    auto& left = copyBuffer();
    thread_local std::vector<unsigned char> right(kCopyBufferSize);
    for (std::int64_t done = 0; done < size;) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::int64_t>(size - done, left.size()));
        if (first.readAt(from + done, left.data(), chunk) != chunk ||
            second.readAt(to + done, right.data(), chunk) != chunk) {
            throw Failure(kStreamReadError);
        }
        if (std::memcmp(left.data(), right.data(), chunk) != 0) {
            return false;
        }
        done += static_cast<std::int64_t>(chunk);
    }
    return true;
}

}  // namespace os
}  // namespace xcr
