#ifndef ARCHIVE_FORMAT_CHECKSUM_H
#define ARCHIVE_FORMAT_CHECKSUM_H

#include <cstddef>
#include <cstdint>

namespace xcr {
inline namespace format {

// A fast 64-bit checksum of a byte stream, the same however the stream is cut into
// pieces. It tells damaged or foreign bytes from the expected ones (a journal's contents,
// a directory that another program rewrote); it is no defence against someone who forges
// bytes on purpose. Eight independent lanes take 64 bytes a round, so it keeps up with
// the disk and the page cache.
class Checksum {
public:
    static constexpr std::size_t kLanes = 8;

    Checksum();

    void add(const void* bytes, std::size_t size);
    void addNumber(std::uint64_t value);
    std::uint64_t value() const;

private:
    static constexpr std::size_t kStripe = 8 * kLanes;

    void absorb(const unsigned char* stripe);

    std::uint64_t lanes_[kLanes];
    unsigned char pending_[kStripe];
    std::size_t pendingSize_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace format
}  // namespace xcr

#endif  // ARCHIVE_FORMAT_CHECKSUM_H
