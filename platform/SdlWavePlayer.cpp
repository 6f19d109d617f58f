#include "platform/SdlWavePlayer.h"

#include <SDL.h>

namespace xcr {

namespace {

// A decoded wave, freed when it goes.
class Wave {
public:
    explicit Wave(const std::string& path) {
        if (SDL_LoadWAV(path.c_str(), &spec_, &samples_, &length_) == nullptr) {
            samples_ = nullptr;
        }
    }
    ~Wave() { SDL_FreeWAV(samples_); }
    Wave(const Wave&) = delete;
    Wave& operator=(const Wave&) = delete;

    bool loaded() const { return samples_ != nullptr; }
    SDL_AudioSpec& spec() { return spec_; }
    const Uint8* samples() const { return samples_; }
    Uint32 length() const { return length_; }

private:
    SDL_AudioSpec spec_{};
    Uint8* samples_ = nullptr;
    Uint32 length_ = 0;
};

constexpr Uint32 kPollMilliseconds = 5;

// About 50 ms of sound per device buffer (a power of two, as devices like it): the window
// waits out the last buffer after the sound, and the loader's default of 4,096 frames
// would keep it frozen for half a second after a wave of 8,000 frames a second.
Uint16 bufferFrames(int framesPerSecond) {
    Uint16 frames = 256;
    while (frames < 4096 && frames * 2 <= framesPerSecond / 20) {
        frames *= 2;
    }
    return frames;
}

void waitUntilDrained(SDL_AudioDeviceID device) {
    // A device that is lost while playing stops taking data: stop waiting then too.
    while (SDL_GetQueuedAudioSize(device) > 0 &&
           SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_PLAYING) {
        SDL_Delay(kPollMilliseconds);
    }
}

}  // namespace

SdlWavePlayer::~SdlWavePlayer() {
    if (audioStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

bool SdlWavePlayer::play(const std::string& path) {
    if (!audioStarted_) {
        // Audio starts SDL's event system too, which would take over SIGINT and SIGTERM
        // and turn them into quit events that nobody reads: the program could no
        // longer be stopped.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        audioStarted_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!audioStarted_) {
            return false;
        }
    }
    Wave wave(path);
    if (!wave.loaded()) {
        return false;
    }
    SDL_AudioSpec wanted = wave.spec();
    wanted.callback = nullptr;  // fed by queueing
    wanted.samples = bufferFrames(wanted.freq);
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts the wave's format to the device's when they differ.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        return false;
    }
    const bool queued = SDL_QueueAudio(device, wave.samples(), wave.length()) == 0;
    if (queued) {
        SDL_PauseAudioDevice(device, 0);
        waitUntilDrained(device);
        // The last buffer taken from the queue is still being played.
        SDL_Delay(obtained.samples * 1000u / static_cast<Uint32>(obtained.freq));
    }
    SDL_CloseAudioDevice(device);
    return queued;
}

}  // namespace xcr
