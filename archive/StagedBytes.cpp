#include "archive/StagedBytes.h"

#include "archive/EntryCopy.h"

namespace xcr {

void StagedBytes::create(const std::string& path) {
    file_ = File::open(path, File::Access::Create);
    end_ = 0;
}

std::int64_t StagedBytes::keep(File& source, std::int64_t offset, std::int64_t size) {
    const std::int64_t at = end_;
    // A copy back moves the file's position; appending starts from the end again.
    file_.seek(at);
    copyEntry(source, offset, size, file_);
    end_ += size;
    return at;
}

void StagedBytes::copyBack(std::int64_t at, std::int64_t size, File& target) {
    copyEntry(file_, at, size, target);
}

}  // namespace xcr
