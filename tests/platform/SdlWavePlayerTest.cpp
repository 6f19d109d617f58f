#include "platform/SdlWavePlayer.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/platform/WaveBytes.h"
#include "tests/support/XcrBuilder.h"

namespace xcr {
namespace {

using test::Bytes;

// The wave's samples are in what the device played once, whole, with nothing but silence
// around them.
::testing::AssertionResult playedOnce(const Bytes& played, const Bytes& samples,
                                      unsigned char silence) {
    const auto found = std::search(played.begin(), played.end(), samples.begin(), samples.end());
    if (found == played.end()) {
        return ::testing::AssertionFailure()
               << "the " << samples.size() << " sample bytes are not among the " << played.size()
               << " bytes played";
    }
    const auto silent = [&](unsigned char b) { return b == silence; };
    if (!std::all_of(played.begin(), found, silent) ||
        !std::all_of(found + static_cast<std::ptrdiff_t>(samples.size()), played.end(), silent)) {
        return ::testing::AssertionFailure() << "more than silence around the samples";
    }
    return ::testing::AssertionSuccess();
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
        test::writeFileBytes(wave, test::pcmWaveFile(format.channels, 22050, format.bits, samples));
        SdlWavePlayer player;
        EXPECT_TRUE(player.play(wave));
        // Read while the player lives: everything was played when play() returned.
        EXPECT_TRUE(playedOnce(test::readFileBytes(output), samples, format.silence));
        std::filesystem::remove(output);
    }
}

TEST_F(SdlWavePlayerTest, CommonGameFormsPlayOnceWholeForAboutTheirLength) {
    // Without a delay of its own the disk driver takes each buffer at the wave's pace.
    unsetenv("SDL_DISKAUDIODELAY");
    for (const test::EncodedWave& form : test::commonWaveForms()) {
        SCOPED_TRACE(form.form);
        test::writeFileBytes(wave, form.file);
        SdlWavePlayer player;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(player.play(wave));
        const auto took = std::chrono::steady_clock::now() - start;
        // Every decoded form is signed or float: silence is zero bytes.
        EXPECT_TRUE(playedOnce(test::readFileBytes(output), form.decoded, 0x00));
        EXPECT_GE(took, form.duration() * 9 / 10);
        EXPECT_LE(took, form.duration() + std::chrono::milliseconds(1500));
        std::filesystem::remove(output);
    }
}

TEST_F(SdlWavePlayerTest, BrokenWaveOfEveryFormPlaysNothing) {
    for (const test::EncodedWave& form : test::commonWaveForms()) {
        for (const auto& [fault, bytes] : form.broken) {
            SCOPED_TRACE(form.form + " with " + fault);
            test::writeFileBytes(wave, bytes);
            SdlWavePlayer player;
            EXPECT_FALSE(player.play(wave));
            EXPECT_FALSE(std::filesystem::exists(output));
        }
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
    test::writeFileBytes(wave, test::pcmWaveFile(1, 8000, 8, Bytes(100, 0x80)));
    SdlWavePlayer player;
    EXPECT_FALSE(player.play(wave));
}

// Playing must leave the program stoppable from outside.
TEST_F(SdlWavePlayerTest, LeavesTheSignalHandlersAlone) {
    struct sigaction before[2]{};
    const int stopping[2] = {SIGINT, SIGTERM};
    for (int i = 0; i < 2; ++i) {
        sigaction(stopping[i], nullptr, &before[i]);
    }
    test::writeFileBytes(wave, test::pcmWaveFile(1, 8000, 8, Bytes(100, 0x80)));
    SdlWavePlayer player;
    ASSERT_TRUE(player.play(wave));
    for (int i = 0; i < 2; ++i) {
        struct sigaction after {};
        sigaction(stopping[i], nullptr, &after);
        EXPECT_EQ(after.sa_handler, before[i].sa_handler) << stopping[i];
    }
}

}  // namespace
}  // namespace xcr
