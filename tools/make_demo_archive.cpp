// Writes the demo archive samples/demo.xcr: a bitmap, a wave, a text file and an entry
// whose stored name has folder parts. Usage: make_demo_archive OUTPUT
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>

#include "tests/support/XcrBuilder.h"

namespace {

using xcr::test::Bytes;

void putLe(Bytes& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

void putText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// A 96 x 64 24-bit picture: a sky gradient over green hills with a sun.
Bytes demoBitmap() {
    const int width = 96;
    const int height = 64;
    const int rowSize = (width * 3 + 3) / 4 * 4;
    Bytes out;
    putText(out, "BM");
    putLe(out, 54 + rowSize * height, 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);
    putLe(out, width, 4);
    putLe(out, height, 4);
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4);
    putLe(out, rowSize * height, 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // rows are stored bottom-up
        for (int x = 0; x < width; ++x) {
            const double hill = 44 + 8 * std::sin(x / 11.0) + 4 * std::sin(x / 5.0 + 1);
            const double sunDistance = std::hypot(x - 70, y - 16);
            int r = 90 + y * 2;
            int g = 150 + y;
            int b = 235;
            if (sunDistance < 9) {
                r = 255, g = 220, b = 60;
            } else if (y > hill) {
                r = 40, g = 120 + (y * 2) % 40, b = 50;
            }
            out.push_back(static_cast<unsigned char>(b));
            out.push_back(static_cast<unsigned char>(g));
            out.push_back(static_cast<unsigned char>(r));
        }
        out.resize(out.size() + rowSize - width * 3, 0);
    }
    return out;
}

// Half a second of a falling two-tone chime, 16-bit mono PCM at 22050 Hz.
Bytes demoWave() {
    const int rate = 22050;
    const int samples = rate / 2;
    Bytes out;
    putText(out, "RIFF");
    putLe(out, 36 + samples * 2, 4);
    putText(out, "WAVEfmt ");
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, 1, 2);
    putLe(out, rate, 4);
    putLe(out, rate * 2, 4);
    putLe(out, 2, 2);
    putLe(out, 16, 2);
    putText(out, "data");
    putLe(out, samples * 2, 4);
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double tone = i < samples / 2 ? 880.0 : 660.0;
        const double fade = 1.0 - static_cast<double>(i % (samples / 2)) / (samples / 2);
        const auto value = static_cast<std::int16_t>(9000 * fade * std::sin(2 * M_PI * tone * t));
        putLe(out, static_cast<std::uint16_t>(value), 2);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_demo_archive OUTPUT\n";
        return 2;
    }
    const std::string readme =
        "Demo archive for Pelloran Plus 3.\r\n"
        "Click hills.bmp to see it, chime.wav and Play Wav to hear it.\r\n";
    try {
        xcr::test::XcrBuilder()
            .plain()
            .add("art\\landscape\\hills.bmp", demoBitmap())
            .add("sound\\chime.wav", demoWave())
            .add("readme.txt", readme)
            .add("data:levels\\level1.txt", "level 1\n")
            .streamTo(argv[1]);
    } catch (const std::exception& failure) {
        std::cerr << failure.what() << "\n";
        return 1;
    }
    return 0;
}
