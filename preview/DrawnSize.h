#ifndef PREVIEW_DRAWNSIZE_H
#define PREVIEW_DRAWNSIZE_H

namespace xcr {

// The size a picture is drawn at inside the image control, always from its top-left
// corner.
struct DrawnSize {
    int width = 0;
    int height = 0;

    bool operator==(const DrawnSize&) const = default;
};

// The image control's drawing rule for a w x h picture in a cw x ch control: natural size
// (clipped by the control) without stretch, the whole control with stretch, and with
// stretch and proportional the largest size of the picture's aspect that fits. Sizes are
// truncated toward zero, never rounded.
DrawnSize drawnSize(int w, int h, int cw, int ch, bool stretch, bool proportional);

}  // namespace xcr

#endif  // PREVIEW_DRAWNSIZE_H
