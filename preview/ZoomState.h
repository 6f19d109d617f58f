#ifndef PREVIEW_ZOOMSTATE_H
#define PREVIEW_ZOOMSTATE_H

#include "preview/ImageFrame.h"

namespace xcr {

// The bitmap preview's zoom and drag state and the image control's frame. The zoom level
// z stands for z/4 of the natural size; it is 0 until the first picture or Zoom 1:1, and
// the zoom commands keep it within 1 to 8 from then on.
class ZoomState {
public:
    static constexpr int kAreaSize = 410;  // the picture area is a 410 x 410 square
    static constexpr int kOneToOne = 4;
    static constexpr int kMinLevel = 1;
    static constexpr int kMaxLevel = 8;

    const ImageFrame& frame() const { return frame_; }
    int zoomLevel() const { return zoom_; }
    int naturalWidth() const { return naturalWidth_; }
    int naturalHeight() const { return naturalHeight_; }

    // A picture of this size was loaded: 1:1 at the top-left corner, stretched drawing.
    void pictureLoaded(int width, int height);
    void zoomIn();
    void zoomOut();
    // The whole picture area, in fitted drawing; the zoom level is kept.
    void fitToWindow();
    // Natural size at the top-left corner; the drawing flags are kept.
    void zoomOneToOne();
    // The image moves once, on release, by the distance from the last press; no bounds.
    void press(int x, int y);
    void release(int x, int y);

private:
    void resizeToZoom();

    ImageFrame frame_;
    int zoom_ = 0;
    int naturalWidth_ = 0;
    int naturalHeight_ = 0;
    int anchorX_ = 0;
    int anchorY_ = 0;
};

}  // namespace xcr

#endif  // PREVIEW_ZOOMSTATE_H
