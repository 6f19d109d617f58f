#include "preview/ZoomState.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace xcr {

namespace {
// Dragging has no bounds, but a position must not wrap around.
int movedBy(int position, int from, int to) {
    const std::int64_t moved = std::int64_t{position} + to - from;
    return static_cast<int>(std::clamp<std::int64_t>(moved, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int scaled(int natural, int zoom) {
    return static_cast<int>(std::int64_t{natural} * zoom / ZoomState::kOneToOne);
}
}  // namespace

void ZoomState::pictureLoaded(int width, int height) {
    frame_ = ImageFrame{0, 0, width, height, true, false};
    naturalWidth_ = width;
    naturalHeight_ = height;
    zoom_ = kOneToOne;
}

void ZoomState::zoomIn() {
    if (zoom_ >= kMaxLevel) {
        return;
    }
    ++zoom_;
    resizeToZoom();
}

void ZoomState::zoomOut() {
    if (zoom_ <= kMinLevel) {
        return;
    }
    --zoom_;
    resizeToZoom();
}

void ZoomState::fitToWindow() {
    frame_ = ImageFrame{0, 0, kAreaSize, kAreaSize, true, true};
}

void ZoomState::zoomOneToOne() {
    frame_.left = 0;
    frame_.top = 0;
    frame_.width = naturalWidth_;
    frame_.height = naturalHeight_;
    zoom_ = kOneToOne;
}

void ZoomState::press(int x, int y) {
    anchorX_ = x;
    anchorY_ = y;
}

void ZoomState::release(int x, int y) {
    frame_.left = movedBy(frame_.left, anchorX_, x);
    frame_.top = movedBy(frame_.top, anchorY_, y);
}

void ZoomState::resizeToZoom() {
    frame_.width = scaled(naturalWidth_, zoom_);
    frame_.height = scaled(naturalHeight_, zoom_);
}

}  // namespace xcr
