#ifndef PREVIEW_BITMAPPREVIEW_H
#define PREVIEW_BITMAPPREVIEW_H

#include <QImage>

#include "preview/EntrySource.h"
#include "preview/ImageControl.h"
#include "preview/ZoomState.h"

namespace xcr {

// Shows bitmap entries in the image control and carries out zoom, fit and drag. Holds
// the shared picture: the last bitmap that loaded.
class BitmapPreview {
public:
    BitmapPreview(ImageControl& control, EntrySource source);

    // Copies the entry into "temp.bmp" in the staging folder, loads it and shows it at 1:1.
    // A failure throws xcr::Failure and leaves the picture, the control and the zoom as
    // they were.
    void show(int index);
    void zoomIn();
    void zoomOut();
    void fitToWindow();
    void zoomOneToOne();
    void press(int x, int y);
    void release(int x, int y);

    const QImage& picture() const { return picture_; }
    const ZoomState& state() const { return state_; }

private:
    // Shows the shared picture in the control, in the state's frame.
    void apply();

    ImageControl& control_;
    EntrySource source_;
    QImage picture_;
    ZoomState state_;
};

}  // namespace xcr

#endif  // PREVIEW_BITMAPPREVIEW_H
