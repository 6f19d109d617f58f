#ifndef TESTS_PLATFORM_WAVEBYTES_H
#define TESTS_PLATFORM_WAVEBYTES_H

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/XcrBuilder.h"

namespace xcr::test {

// The fields of a wave's fmt chunk; `extra` is everything after the bits per sample, the
// size field of the extension first.
struct WaveFormat {
    std::uint16_t tag = 1;
    int channels = 1;
    int rate = 22050;
    int blockAlign = 1;
    int bits = 8;
    Bytes extra;
};

// A RIFF wave file: the fmt chunk, then the data chunk.
Bytes waveFile(const WaveFormat& format, const Bytes& data);
// A plain PCM wave file.
Bytes pcmWaveFile(int channels, int rate, int bits, const Bytes& samples);

// A wave in one of the forms games ship, encoded here, with the sample bytes SDL's wave
// loader hands the sound device for it: 24-bit PCM widened to 32 bits, the companded and
// ADPCM forms as 16-bit samples, float as it is.
struct EncodedWave {
    std::string form;
    Bytes file;
    Bytes decoded;
    int channels = 1;
    int rate = 44100;
    int decodedSampleBytes = 2;
    // The same wave made unreadable by one field, each with what is wrong with it.
    std::vector<std::pair<std::string, Bytes>> broken;

    std::chrono::microseconds duration() const;
};

// 24-bit PCM (plain and with the extensible header), 32-bit float, IMA ADPCM, MS ADPCM,
// A-law and mu-law, each about a quarter of a second long.
std::vector<EncodedWave> commonWaveForms();

}  // namespace xcr::test

#endif  // TESTS_PLATFORM_WAVEBYTES_H
