#ifndef PREVIEW_SOUNDPREVIEW_H
#define PREVIEW_SOUNDPREVIEW_H

#include "platform/WavePlayer.h"
#include "preview/EntrySource.h"

namespace xcr {

// Plays a wave entry: copies it into "temp.wav" in the staging folder, plays that file to
// its end on the calling thread and deletes it again.
class SoundPreview {
public:
    SoundPreview(WavePlayer& player, EntrySource source);

    // Nothing happens when index is below 0. The temporary file is created before the
    // archive is opened. A failure throws xcr::Failure; nothing is played then.
    void play(int index);

private:
    WavePlayer& player_;
    EntrySource source_;
};

}  // namespace xcr

#endif  // PREVIEW_SOUNDPREVIEW_H
