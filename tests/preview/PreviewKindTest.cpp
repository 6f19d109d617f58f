#include "preview/PreviewKind.h"

#include <gtest/gtest.h>

namespace xcr {
namespace {

TEST(PreviewKindTest, LastThreeCharactersDecideWithAsciiOnlyLowerCasing) {
    const struct {
        const char* name;
        PreviewKind kind;
    } cases[] = {
        {"SOUND.WAV", PreviewKind::Wave},  {"intro.Bmp", PreviewKind::Bitmap},
        {"readme.txt", PreviewKind::None}, {"wav", PreviewKind::Wave},
        {"xwav", PreviewKind::Wave},       {"song.wave", PreviewKind::None},
        {"BMP", PreviewKind::Bitmap},      {"av", PreviewKind::None},
        {"v", PreviewKind::None},          {"", PreviewKind::None},
        {"a.w\xC1v", PreviewKind::None},  // a byte above ASCII is not a letter to fold
        {"wav.bmp", PreviewKind::Bitmap},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(previewKindOf(c.name), c.kind) << c.name;
    }
}

}  // namespace
}  // namespace xcr
