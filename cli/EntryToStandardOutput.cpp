#include "cli/EntryToStandardOutput.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "archive/os/EntryCopy.h"
#include "archive/os/Failure.h"
#include "cli/ToolFailure.h"

namespace xcr {

namespace {

void writeAll(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno == EPIPE) {
            throw ToolFailure("", kClosedOutputStatus);
        }
        if (written <= 0) {
            throw Failure(std::string("Cannot write to standard output (") + std::strerror(errno) +
                          ")");
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

}  // namespace

void writeEntryToStandardOutput(File& archive, EntryTable::Placement placement) {
    std::vector<char> buffer(kCopyBufferSize);
    for (std::int64_t at = 0; at < placement.size;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::int64_t>(placement.size - at, kCopyBufferSize));
        const std::size_t read = archive.readAt(placement.offset + at, buffer.data(), want);
        writeAll(buffer.data(), read);
        if (read != want) {
            const std::int64_t end = std::int64_t{placement.offset} + placement.size;
            throw Failure(dataPastTheEndText(archive.path(),
                                             "the entry's data (" + std::to_string(placement.size) +
                                                 " bytes at offset " +
                                                 std::to_string(placement.offset) + ")",
                                             end, archive.length()));
        }
        at += static_cast<std::int64_t>(read);
    }
}

}  // namespace xcr
