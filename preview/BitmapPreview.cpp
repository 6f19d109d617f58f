#include "preview/BitmapPreview.h"

#include "preview/BitmapLoader.h"
#include "preview/StagedEntry.h"

namespace xcr {

BitmapPreview::BitmapPreview(ImageControl& control, EntrySource source)
    : control_(control), source_(std::move(source)) {}

void BitmapPreview::show(int index) {
    const StagedEntry staged(source_.archivePath(), source_.entries.placement(index),
                             source_.staging.fileInside("temp.bmp"),
                             StagedEntry::Order::ArchiveFirst);
    picture_ = loadBitmapFile(staged.path());
    state_.pictureLoaded(picture_.width(), picture_.height());
    apply();
}

void BitmapPreview::zoomIn() {
    state_.zoomIn();
    apply();
}

void BitmapPreview::zoomOut() {
    state_.zoomOut();
    apply();
}

void BitmapPreview::fitToWindow() {
    state_.fitToWindow();
    apply();
}

void BitmapPreview::zoomOneToOne() {
    state_.zoomOneToOne();
    apply();
}

void BitmapPreview::press(int x, int y) {
    state_.press(x, y);
}

void BitmapPreview::release(int x, int y) {
    state_.release(x, y);
    apply();
}

void BitmapPreview::apply() {
    control_.setPicture(picture_);
    control_.setFrame(state_.frame());
}

}  // namespace xcr
