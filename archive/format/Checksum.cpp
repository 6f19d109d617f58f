#include "archive/format/Checksum.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace xcr {
inline namespace format {

namespace {

// Odd constants from the fractional parts of the golden ratio and of square roots of
// small primes: nothing special beyond mixing the bits well.
constexpr std::uint64_t kMultiply = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kSpread = 0xBB67AE8584CAA73Bull;
constexpr std::uint64_t kSeeds[Checksum::kLanes] = {
    0x3C6EF372FE94F82Bull, 0xA54FF53A5F1D36F1ull, 0x510E527FADE682D1ull, 0x1F83D9ABFB41BD6Bull,
    0x9B05688C2B3E6C1Full, 0x5BE0CD19137E2179ull, 0xCBBB9D5DC1059ED9ull, 0x629A292A367CD507ull};

std::uint64_t rotate(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

// Eight bytes, least significant first, whatever the machine's byte order.
std::uint64_t word(const unsigned char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
        value = __builtin_bswap64(value);
    }
    return value;
}

// One word into one lane. The multiply works on the input alone, so a lane waits only for
// an add and a rotate between words; the lanes are mixed once, at the end.
std::uint64_t step(std::uint64_t lane, std::uint64_t input) {
    return rotate(lane + input * kSpread, 29);
}

std::uint64_t mix(std::uint64_t value, std::uint64_t input) {
    return rotate(value + input * kSpread, 29) * kMultiply;
}

// Spreads every input bit over the whole value.
std::uint64_t avalanche(std::uint64_t value) {
    value ^= value >> 31;
    value *= kSpread;
    value ^= value >> 29;
    value *= kMultiply;
    value ^= value >> 32;
    return value;
}

}  // namespace

Checksum::Checksum() : pending_{} {
    std::copy(std::begin(kSeeds), std::end(kSeeds), lanes_);
}

void Checksum::absorb(const unsigned char* stripe) {
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        lanes_[lane] = step(lanes_[lane], word(stripe + 8 * lane));
    }
}

void Checksum::add(const void* bytes, std::size_t size) {
    const auto* in = static_cast<const unsigned char*>(bytes);
    total_ += size;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(size, kStripe - pendingSize_);
        std::memcpy(pending_ + pendingSize_, in, take);
        pendingSize_ += take;
        in += take;
        size -= take;
        if (pendingSize_ < kStripe) {
            return;
        }
        absorb(pending_);
        pendingSize_ = 0;
    }
    for (; size >= kStripe; in += kStripe, size -= kStripe) {
        absorb(in);
    }
    std::memcpy(pending_, in, size);
    pendingSize_ = size;
}

void Checksum::addNumber(std::uint64_t value) {
    unsigned char bytes[8];
    for (unsigned char& byte : bytes) {
        byte = static_cast<unsigned char>(value & 0xFF);
        value >>= 8;
    }
    add(bytes, sizeof bytes);
}

std::uint64_t Checksum::value() const {
    std::uint64_t result = total_ * kMultiply;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        result = mix(result ^ lanes_[lane], rotate(lanes_[lane], 17 + static_cast<int>(lane)));
    }
    // The tail is mixed in byte by byte, with its position, so that zeros count.
    for (std::size_t i = 0; i < pendingSize_; ++i) {
        result = mix(result, (std::uint64_t{pending_[i]} << 8) | i);
    }
    return avalanche(result);
}

}  // namespace format
}  // namespace xcr
