#include "tests/platform/WaveBytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace xcr::test {

namespace {

constexpr std::uint16_t kPcm = 0x0001;
constexpr std::uint16_t kMsAdpcm = 0x0002;
constexpr std::uint16_t kFloat = 0x0003;
constexpr std::uint16_t kALaw = 0x0006;
constexpr std::uint16_t kMuLaw = 0x0007;
constexpr std::uint16_t kImaAdpcm = 0x0011;
constexpr std::uint16_t kMpeg = 0x0050;
constexpr std::uint16_t kExtensible = 0xFFFE;

void append16(Bytes& bytes, int value) {
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void append32(Bytes& bytes, std::int64_t value) {
    append16(bytes, static_cast<int>(value & 0xFFFF));
    append16(bytes, static_cast<int>((value >> 16) & 0xFFFF));
}

void appendTag(Bytes& bytes, const char* tag) {
    bytes.insert(bytes.end(), tag, tag + 4);
}

void appendBytes(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// A tone per channel, a different pitch on each, at about a third of full scale.
double toneAt(int frame, int channel, int rate) {
    const double pitch = 440.0 + 220.0 * channel;
    return std::sin(2.0 * std::numbers::pi * pitch * frame / rate);
}

int tone16(int frame, int channel, int rate) {
    return static_cast<int>(std::lround(12000.0 * toneAt(frame, channel, rate)));
}

// The format GUID of the extensible header for a format tag.
Bytes subFormat(std::uint16_t tag) {
    Bytes guid;
    append16(guid, tag);
    for (int byte :
         {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) {
        guid.push_back(static_cast<unsigned char>(byte));
    }
    return guid;
}

EncodedWave pcm24(bool extensible) {
    EncodedWave wave;
    wave.channels = 2;
    wave.decodedSampleBytes = 4;
    Bytes data;
    for (int frame = 0; frame < 11025; ++frame) {
        for (int channel = 0; channel < wave.channels; ++channel) {
            // The low byte varies too, so that a loader dropping it would show.
            const int value = tone16(frame, channel, wave.rate) * 256 + (frame * 7 + channel) % 256;
            const Bytes sample{static_cast<unsigned char>(value),
                               static_cast<unsigned char>(value >> 8),
                               static_cast<unsigned char>(value >> 16)};
            appendBytes(data, sample);
            wave.decoded.push_back(0);
            appendBytes(wave.decoded, sample);
        }
    }
    WaveFormat format{kPcm, wave.channels, wave.rate, 6, 24, {}};
    if (extensible) {
        wave.form = "24-bit PCM, extensible header";
        format.tag = kExtensible;
        append16(format.extra, 22);
        append16(format.extra, 24);   // valid bits
        append32(format.extra, 0x3);  // front left and right
        WaveFormat broken = format;
        appendBytes(format.extra, subFormat(kPcm));
        appendBytes(broken.extra, subFormat(kMpeg));
        wave.broken.emplace_back("a sub-format the loader does not know", waveFile(broken, data));
    } else {
        wave.form = "24-bit PCM";
        WaveFormat broken = format;
        broken.blockAlign = 8;
        wave.broken.emplace_back("a block size that is not two 24-bit samples",
                                 waveFile(broken, data));
    }
    wave.file = waveFile(format, data);
    return wave;
}

EncodedWave float32() {
    EncodedWave wave;
    wave.form = "32-bit float";
    wave.decodedSampleBytes = 4;
    Bytes doubles;
    for (int frame = 0; frame < 10000; ++frame) {
        const double value = 0.8 * toneAt(frame, 0, wave.rate);
        const auto single = static_cast<float>(value);
        unsigned char bytes[8];
        std::memcpy(bytes, &single, 4);
        wave.decoded.insert(wave.decoded.end(), bytes, bytes + 4);
        std::memcpy(bytes, &value, 8);
        doubles.insert(doubles.end(), bytes, bytes + 8);
    }
    wave.file = waveFile({kFloat, 1, wave.rate, 4, 32, {}}, wave.decoded);
    wave.broken.emplace_back("16-bit float samples",
                             waveFile({kFloat, 1, wave.rate, 2, 16, {}}, wave.decoded));
    wave.broken.emplace_back("64-bit float samples, which the loader does not decode",
                             waveFile({kFloat, 1, wave.rate, 8, 64, {}}, doubles));
    return wave;
}

// IMA ADPCM as its reference describes it: each nibble moves the sample by a step that
// the nibbles themselves make larger or smaller.
constexpr int kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kImaIndexMoves[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

struct ImaChannel {
    int sample = 0;
    int index = 0;
};

void imaDecode(ImaChannel& channel, int nibble) {
    const int step = kImaSteps[channel.index];
    int difference = step >> 3;
    if (nibble & 4) {
        difference += step;
    }
    if (nibble & 2) {
        difference += step >> 1;
    }
    if (nibble & 1) {
        difference += step >> 2;
    }
    channel.sample =
        std::clamp(channel.sample + ((nibble & 8) ? -difference : difference), -32768, 32767);
    channel.index = std::clamp(channel.index + kImaIndexMoves[nibble & 7], 0, 88);
}

int imaEncode(ImaChannel& channel, int target) {
    const int step = kImaSteps[channel.index];
    int difference = target - channel.sample;
    int nibble = 0;
    if (difference < 0) {
        nibble = 8;
        difference = -difference;
    }
    if (difference >= step) {
        nibble |= 4;
        difference -= step;
    }
    if (difference >= step >> 1) {
        nibble |= 2;
        difference -= step >> 1;
    }
    if (difference >= step >> 2) {
        nibble |= 1;
    }
    imaDecode(channel, nibble);
    return nibble;
}

// Both ADPCM forms come in stereo blocks of 512 bytes, 22 of them: a header per channel
// that holds the first frames, then two samples to a byte.
constexpr int kAdpcmBlockAlign = 512;
constexpr int kAdpcmBlocks = 22;

EncodedWave stereoAdpcm(const char* form) {
    EncodedWave wave;
    wave.form = form;
    wave.channels = 2;
    return wave;
}

int adpcmFramesPerBlock(const EncodedWave& wave, int headerBytes, int headerFrames) {
    return headerFrames + (kAdpcmBlockAlign - headerBytes * wave.channels) * 2 / wave.channels;
}

WaveFormat imaFormat(const EncodedWave& wave, int framesPerBlock) {
    WaveFormat format{kImaAdpcm, wave.channels, wave.rate, kAdpcmBlockAlign, 4, {}};
    append16(format.extra, 2);
    append16(format.extra, framesPerBlock);
    return format;
}

// Stereo blocks of 512 bytes: a header per channel (first sample, step index), then
// four bytes of one channel's nibbles after four of the other's, low nibble first.
EncodedWave imaAdpcm() {
    EncodedWave wave = stereoAdpcm("IMA ADPCM");
    const int framesPerBlock = adpcmFramesPerBlock(wave, 4, 1);
    ImaChannel channels[2];
    Bytes data;
    for (int start = 0; start < kAdpcmBlocks * framesPerBlock; start += framesPerBlock) {
        std::vector<std::vector<int>> nibbles(2);
        std::vector<int> decoded;
        for (int c = 0; c < wave.channels; ++c) {
            channels[c].sample = tone16(start, c, wave.rate);
            append16(data, channels[c].sample);
            data.push_back(static_cast<unsigned char>(channels[c].index));
            data.push_back(0);
            decoded.push_back(channels[c].sample);
        }
        for (int frame = start + 1; frame < start + framesPerBlock; ++frame) {
            for (int c = 0; c < wave.channels; ++c) {
                nibbles[c].push_back(imaEncode(channels[c], tone16(frame, c, wave.rate)));
                decoded.push_back(channels[c].sample);
            }
        }
        for (std::size_t word = 0; word < nibbles[0].size(); word += 8) {
            for (int c = 0; c < wave.channels; ++c) {
                for (std::size_t i = word; i < word + 8; i += 2) {
                    data.push_back(
                        static_cast<unsigned char>(nibbles[c][i] | nibbles[c][i + 1] << 4));
                }
            }
        }
        for (int sample : decoded) {
            append16(wave.decoded, sample);
        }
    }
    wave.file = waveFile(imaFormat(wave, framesPerBlock), data);
    wave.broken.emplace_back("more samples per block than a block holds",
                             waveFile(imaFormat(wave, framesPerBlock + 95), data));
    return wave;
}

// MS ADPCM: each sample is predicted from the two before it with one of seven fixed
// coefficient pairs, chosen per block, and a nibble corrects the prediction by a
// multiple of an adapting delta.
constexpr int kMsCoefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                       {240, 0}, {460, -208}, {392, -232}};
constexpr int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                   768, 614, 512, 409, 307, 230, 230, 230};

struct MsChannel {
    int coefficient1 = 0;
    int coefficient2 = 0;
    int delta = 0;
    int sample1 = 0;  // the latest sample
    int sample2 = 0;  // the one before
};

int msPrediction(const MsChannel& channel) {
    return (channel.sample1 * channel.coefficient1 + channel.sample2 * channel.coefficient2) / 256;
}

void msDecode(MsChannel& channel, int nibble) {
    const int error = nibble >= 8 ? nibble - 16 : nibble;
    const int sample = std::clamp(msPrediction(channel) + channel.delta * error, -32768, 32767);
    channel.delta = std::max(16, channel.delta * kMsAdaptation[nibble] / 256);
    channel.sample2 = channel.sample1;
    channel.sample1 = sample;
}

int msEncode(MsChannel& channel, int target) {
    const int error = target - msPrediction(channel);
    const int half = channel.delta / 2;
    const int steps =
        error >= 0 ? (error + half) / channel.delta : -((half - error) / channel.delta);
    const int nibble = std::clamp(steps, -8, 7) & 0xF;
    msDecode(channel, nibble);
    return nibble;
}

WaveFormat msFormat(const EncodedWave& wave, int framesPerBlock, int firstCoefficient) {
    WaveFormat format{kMsAdpcm, wave.channels, wave.rate, kAdpcmBlockAlign, 4, {}};
    append16(format.extra, 32);
    append16(format.extra, framesPerBlock);
    append16(format.extra, 7);
    for (const auto& pair : kMsCoefficients) {
        append16(format.extra, pair[0]);
        append16(format.extra, pair[1]);
    }
    format.extra[6] = static_cast<unsigned char>(firstCoefficient);
    format.extra[7] = static_cast<unsigned char>(firstCoefficient >> 8);
    return format;
}

// Stereo blocks of 512 bytes: per channel the coefficient pair, the delta, the second
// sample and the first; then the nibbles, left then right, high nibble first.
EncodedWave msAdpcm() {
    EncodedWave wave = stereoAdpcm("MS ADPCM");
    const int framesPerBlock = adpcmFramesPerBlock(wave, 7, 2);
    Bytes data;
    std::size_t thirdBlockAt = 0;
    for (int block = 0; block < kAdpcmBlocks; ++block) {
        const int start = block * framesPerBlock;
        if (block == 2) {
            thirdBlockAt = data.size();
        }
        // Every coefficient pair in turn.
        const int pair = block % 7;
        MsChannel channels[2];
        for (int c = 0; c < wave.channels; ++c) {
            channels[c] = {kMsCoefficients[pair][0], kMsCoefficients[pair][1], 256,
                           tone16(start + 1, c, wave.rate), tone16(start, c, wave.rate)};
            data.push_back(static_cast<unsigned char>(pair));
        }
        for (int c = 0; c < wave.channels; ++c) {
            append16(data, channels[c].delta);
        }
        for (int c = 0; c < wave.channels; ++c) {
            append16(data, channels[c].sample1);
        }
        for (int c = 0; c < wave.channels; ++c) {
            append16(data, channels[c].sample2);
        }
        for (int c = 0; c < wave.channels; ++c) {
            append16(wave.decoded, channels[c].sample2);
        }
        for (int c = 0; c < wave.channels; ++c) {
            append16(wave.decoded, channels[c].sample1);
        }
        for (int frame = start + 2; frame < start + framesPerBlock; ++frame) {
            const int left = msEncode(channels[0], tone16(frame, 0, wave.rate));
            const int right = msEncode(channels[1], tone16(frame, 1, wave.rate));
            data.push_back(static_cast<unsigned char>(left << 4 | right));
            append16(wave.decoded, channels[0].sample1);
            append16(wave.decoded, channels[1].sample1);
        }
    }
    wave.file = waveFile(msFormat(wave, framesPerBlock, 256), data);
    wave.broken.emplace_back("a first coefficient other than the fixed one",
                             waveFile(msFormat(wave, framesPerBlock, 255), data));
    Bytes badPair = data;
    badPair[thirdBlockAt] = 0x40;
    wave.broken.emplace_back("a block naming a coefficient pair that does not exist",
                             waveFile(msFormat(wave, framesPerBlock, 256), badPair));
    return wave;
}

// G.711 expansion of one code to a 16-bit sample.
int aLawSample(unsigned char code) {
    code ^= 0x55;
    int magnitude = (code & 0x0F) << 4;
    const int segment = (code & 0x70) >> 4;
    if (segment == 0) {
        magnitude += 8;
    } else {
        magnitude = (magnitude + 0x108) << (segment - 1);
    }
    return (code & 0x80) ? magnitude : -magnitude;
}

int muLawSample(unsigned char code) {
    code = static_cast<unsigned char>(~code);
    const int magnitude = (((code & 0x0F) << 3) + 0x84) << ((code & 0x70) >> 4);
    return (code & 0x80) ? 0x84 - magnitude : magnitude - 0x84;
}

// Every one of the 256 codes, over and over.
EncodedWave companded(bool aLaw) {
    EncodedWave wave;
    wave.form = aLaw ? "A-law" : "mu-law";
    Bytes data;
    for (int i = 0; i < 11200; ++i) {
        const auto code = static_cast<unsigned char>(i * 37);
        data.push_back(code);
        append16(wave.decoded, aLaw ? aLawSample(code) : muLawSample(code));
    }
    const WaveFormat format{aLaw ? kALaw : kMuLaw, 1, wave.rate, 1, 8, {}};
    wave.file = waveFile(format, data);
    WaveFormat broken = format;
    if (aLaw) {
        broken.bits = 16;
        wave.broken.emplace_back("16 bits per sample", waveFile(broken, data));
    } else {
        broken.blockAlign = 2;
        wave.broken.emplace_back("a block size of two codes for one channel",
                                 waveFile(broken, data));
    }
    return wave;
}

}  // namespace

Bytes waveFile(const WaveFormat& format, const Bytes& data) {
    Bytes fmt;
    append16(fmt, format.tag);
    append16(fmt, format.channels);
    append32(fmt, format.rate);
    // The byte rate as if a block held one frame; the loader does not read it.
    append32(fmt, static_cast<std::int64_t>(format.rate) * format.blockAlign);
    append16(fmt, format.blockAlign);
    append16(fmt, format.bits);
    appendBytes(fmt, format.extra);
    const bool padded = data.size() % 2 != 0;

    Bytes bytes{'R', 'I', 'F', 'F'};
    append32(bytes, static_cast<std::int64_t>(4 + 8 + fmt.size() + 8 + data.size() + padded));
    appendTag(bytes, "WAVE");
    appendTag(bytes, "fmt ");
    append32(bytes, static_cast<std::int64_t>(fmt.size()));
    appendBytes(bytes, fmt);
    appendTag(bytes, "data");
    append32(bytes, static_cast<std::int64_t>(data.size()));
    appendBytes(bytes, data);
    if (padded) {
        bytes.push_back(0);
    }
    return bytes;
}

Bytes pcmWaveFile(int channels, int rate, int bits, const Bytes& samples) {
    return waveFile({kPcm, channels, rate, channels * bits / 8, bits, {}}, samples);
}

std::chrono::microseconds EncodedWave::duration() const {
    const auto frames = static_cast<std::int64_t>(decoded.size()) / (channels * decodedSampleBytes);
    return std::chrono::microseconds(frames * 1000000 / rate);
}

std::vector<EncodedWave> commonWaveForms() {
    return {pcm24(false), pcm24(true),     float32(),       imaAdpcm(),
            msAdpcm(),    companded(true), companded(false)};
}

}  // namespace xcr::test
