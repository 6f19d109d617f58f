#ifndef PLATFORM_WAVEPLAYER_H
#define PLATFORM_WAVEPLAYER_H

#include <string>

namespace xcr {

// Plays a wave file by name, once, synchronously: returns when the sound has ended, or
// at once when the file cannot be played or there is no sound device. Never fails with
// an error; the result only says whether anything was played.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    virtual bool play(const std::string& path) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_WAVEPLAYER_H
