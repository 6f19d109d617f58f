#include "platform/SdlWavePlayer.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;

void put16(Bytes& bytes, std::size_t at, int value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

// A plain PCM wave file holding `samples`.
Bytes waveFile(int channels, int rate, int bits, const Bytes& samples) {
    const int blockAlign = channels * bits / 8;
    const auto dataSize = static_cast<std::int32_t>(samples.size());
    Bytes bytes(44, 0);
    for (const auto& [at, tag] : {std::pair{0, "RIFF"}, {8, "WAVE"}, {12, "fmt "}, {36, "data"}}) {
        std::copy(tag, tag + 4, bytes.begin() + at);
    }
    test::putNumber(bytes, 4, 36 + dataSize);
    test::putNumber(bytes, 16, 16);
    put16(bytes, 20, 1);
    put16(bytes, 22, channels);
    test::putNumber(bytes, 24, rate);
    test::putNumber(bytes, 28, rate * blockAlign);
    put16(bytes, 32, blockAlign);
    put16(bytes, 34, bits);
    test::putNumber(bytes, 40, dataSize);
    bytes.insert(bytes.end(), samples.begin(), samples.end());
    return bytes;
}

// SDL's disk driver writes every buffer it plays into a file, silence included, with a
// short pause per buffer.
class SdlWavePlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
    }
    void TearDown() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }

    test::TempDir dir;
    const std::string output = dir.file("played.raw");
    const std::string wave = dir.file("temp.wav");
};

TEST_F(SdlWavePlayerTest, PlaysTheWholeWaveOnceBeforeReturning) {
    const struct {
        int channels;
        int bits;
        unsigned char silence;
    } formats[] = {{2, 16, 0x00}, {1, 8, 0x80}};
    for (const auto& format : formats) {
        SCOPED_TRACE(format.bits);
        const Bytes samples = test::patternBytes(20000, static_cast<unsigned>(format.bits));
        test::writeFileBytes(wave, waveFile(format.channels, 22050, format.bits, samples));
        SdlWavePlayer player;
        EXPECT_TRUE(player.play(wave));
        // Read while the player lives: everything was played when play() returned. The
        // wave's samples are there once, with nothing but silence around them.
        const Bytes played = test::readFileBytes(output);
        const auto found =
            std::search(played.begin(), played.end(), samples.begin(), samples.end());
        ASSERT_NE(found, played.end());
        const auto silent = [&](unsigned char b) { return b == format.silence; };
        EXPECT_TRUE(std::all_of(played.begin(), found, silent));
        EXPECT_TRUE(
            std::all_of(found + static_cast<std::ptrdiff_t>(samples.size()), played.end(), silent));
        std::filesystem::remove(output);
    }
}

TEST_F(SdlWavePlayerTest, UnplayableFilesEndQuietly) {
    SdlWavePlayer player;
    test::writeFileBytes(wave, {});
    EXPECT_FALSE(player.play(wave));
    test::writeFileBytes(wave, test::patternBytes(500, 3));
    EXPECT_FALSE(player.play(wave));
    EXPECT_FALSE(player.play(dir.file("missing.wav")));
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(SdlWavePlayerTest, NoSoundDeviceEndsQuietly) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    test::writeFileBytes(wave, waveFile(1, 8000, 8, Bytes(100, 0x80)));
    SdlWavePlayer player;
    EXPECT_FALSE(player.play(wave));
}

// Playing must leave the program stoppable from outside.
TEST_F(SdlWavePlayerTest, LeavesTheSignalHandlersAlone) {
    struct sigaction before[2]{};
    const int signals[2] = {SIGINT, SIGTERM};
    for (int i = 0; i < 2; ++i) {
        sigaction(signals[i], nullptr, &before[i]);
    }
    test::writeFileBytes(wave, waveFile(1, 8000, 8, Bytes(100, 0x80)));
    SdlWavePlayer player;
    ASSERT_TRUE(player.play(wave));
    for (int i = 0; i < 2; ++i) {
        struct sigaction after {};
        sigaction(signals[i], nullptr, &after);
        EXPECT_EQ(after.sa_handler, before[i].sa_handler) << signals[i];
    }
}

}  // namespace
}  // namespace xcr
