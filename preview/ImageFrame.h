#ifndef PREVIEW_IMAGEFRAME_H
#define PREVIEW_IMAGEFRAME_H

namespace xcr {

// Where the image control sits inside the picture area and how it draws its picture.
struct ImageFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool stretch = false;
    bool proportional = false;

    bool operator==(const ImageFrame&) const = default;
};

}  // namespace xcr

#endif  // PREVIEW_IMAGEFRAME_H
