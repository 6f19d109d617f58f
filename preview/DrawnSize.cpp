#include "preview/DrawnSize.h"

namespace xcr {

namespace {
int truncated(double value) {
    return static_cast<int>(value);
}
}  // namespace

DrawnSize drawnSize(int w, int h, int cw, int ch, bool stretch, bool proportional) {
    if (!stretch) {
        return {w, h};
    }
    if (!proportional || w == 0 || h == 0) {
        return {cw, ch};
    }
    const double aspect = static_cast<double>(w) / h;
    if (w > h) {
        const int height = truncated(cw / aspect);
        return height > ch ? DrawnSize{truncated(ch * aspect), ch} : DrawnSize{cw, height};
    }
    const int width = truncated(ch * aspect);
    return width > cw ? DrawnSize{cw, truncated(cw / aspect)} : DrawnSize{width, ch};
}

}  // namespace xcr
