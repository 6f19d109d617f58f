#include "preview/SoundPreview.h"

#include "preview/StagedEntry.h"

namespace xcr {

SoundPreview::SoundPreview(WavePlayer& player, EntrySource source)
    : player_(player), source_(std::move(source)) {}

void SoundPreview::play(int index) {
    if (index < 0) {
        return;
    }
    const StagedEntry staged(source_.archivePath(), source_.entries.placement(index),
                             source_.staging.fileInside("temp.wav"),
                             StagedEntry::Order::TemporaryFirst);
    // Whether the file was playable is nobody's concern: an unplayable one is quiet.
    player_.play(staged.path());
}

}  // namespace xcr
