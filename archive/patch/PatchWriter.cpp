#include "archive/patch/PatchWriter.h"

#include <unistd.h>

#include <atomic>

#include "archive/format/XcrLayout.h"
#include "archive/os/Failure.h"
#include "archive/patch/PatchStreams.h"

namespace xcr {
inline namespace patch {

PatchWriter::PatchWriter(const std::string& path, std::vector<PatchEntry> entries)
    : path_(path), entries_(std::move(entries)) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    name_ = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name_.empty() || name_ == "." || name_ == "..") {
        throw Failure(cannotCreateText(path, "it names a folder"));
    }
    folder_ = std::make_unique<OutputFolder>(folder);
    if (!folder_->isOpen()) {
        throw Failure(cannotCreateText(path, "its folder cannot be opened"));
    }
    // The process and a counter keep two writers in one folder apart; creating never
    // takes over a name that is there.
    static std::atomic<int> written{0};
    temporary_ = "." + name_.substr(0, 200) + ".writing-" + std::to_string(::getpid()) + "-" +
                 std::to_string(++written);
    file_ = File::createNew(folder_->fd(), temporary_, path_);
    end_ = static_cast<std::int64_t>(patchformat::kHeaderSize + tableSize(entries_));
}

PatchWriter::~PatchWriter() {
    if (!committed_ && folder_ && !temporary_.empty()) {
        file_.close();
        folder_->remove(temporary_);
    }
}

void PatchWriter::addBytes(File& source, std::int64_t position, std::int64_t size) {
    PatchEntry& entry = entries_.at(added_++);
    if (size > layout::kMaxValue) {
        throw Failure(cannotWriteText(
            path_, "entry " + std::to_string(entry.index) + " is larger than an archive can hold"));
    }
    entry.size = size;
    entry.checksum =
        streamRange(source, position, size, [this](const unsigned char* bytes, std::size_t count) {
            file_.writeAt(end_, bytes, count);
            end_ += static_cast<std::int64_t>(count);
        });
}

void PatchWriter::commit() {
    if (added_ != entries_.size()) {
        throw Failure(cannotWriteText(path_, "not every entry's bytes were added"));
    }
    const std::vector<unsigned char> head = encodeHead(entries_);
    file_.writeAt(0, head.data(), head.size());
    file_.sync();
    file_.closeWritten();
    folder_->rename(temporary_, name_, path_);
    committed_ = true;
}

}  // namespace patch
}  // namespace xcr
