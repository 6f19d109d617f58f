#ifndef PREVIEW_BMPHEADERCHECK_H
#define PREVIEW_BMPHEADERCHECK_H

#include <cstddef>

namespace xcr {

// What the checks in front of the bitmap decoder say about a file's bytes.
enum class BmpHeaderCheck {
    Valid,      // the headers and colour table are there; the decoder may try the pixels
    Empty,      // no bytes at all, or a declared width or height of 0: a 0 x 0 picture
    NotValid,   // not "BM", a plane count other than 1, or an unknown header: "Bitmap image
                // is not valid"
    Truncated,  // the data ends inside the headers or the colour table: "Stream read error"
};

// Pure check on the bytes of a whole file; reads nothing outside [data, data + size).
BmpHeaderCheck checkBmpHeader(const unsigned char* data, std::size_t size);

}  // namespace xcr

#endif  // PREVIEW_BMPHEADERCHECK_H
