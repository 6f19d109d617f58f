#ifndef PLATFORM_SDLWAVEPLAYER_H
#define PLATFORM_SDLWAVEPLAYER_H

#include "platform/WavePlayer.h"

namespace xcr {

// Plays through SDL's audio: SDL decodes PCM of 8 to 32 bits, float, IMA and MS ADPCM,
// A-law and mu-law waves. The audio subsystem is started at the first play that needs it
// and stopped with the player.
class SdlWavePlayer : public WavePlayer {
public:
    SdlWavePlayer() = default;
    ~SdlWavePlayer() override;
    SdlWavePlayer(const SdlWavePlayer&) = delete;
    SdlWavePlayer& operator=(const SdlWavePlayer&) = delete;

    bool play(const std::string& path) override;

private:
    bool audioStarted_ = false;
};

}  // namespace xcr

#endif  // PLATFORM_SDLWAVEPLAYER_H
