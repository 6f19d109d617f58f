#ifndef PREVIEW_BITMAPLOADER_H
#define PREVIEW_BITMAPLOADER_H

#include <QImage>
#include <string>

namespace xcr {

// Loads a Windows bitmap file. An empty file gives an empty 0 x 0 picture. Throws
// xcr::Failure: "Stream read error" when the data ends inside the headers or the colour
// table, "Bitmap image is not valid" when it is no bitmap or cannot be decoded.
QImage loadBitmapFile(const std::string& path);

}  // namespace xcr

#endif  // PREVIEW_BITMAPLOADER_H
