#ifndef PLATFORM_FILEDRAG_H
#define PLATFORM_FILEDRAG_H

#include <string>

class QWidget;

namespace xcr {

// Dragging files from the window to another program, such as a file manager.
class FileDrag {
public:
    virtual ~FileDrag() = default;
    // Whether the mouse button that drags is still held down.
    virtual bool buttonHeld() const = 0;
    // Drags the files of `uriList`, "text/uri-list" bytes, from `source` until they are
    // dropped or the drag ends.
    virtual void drag(QWidget& source, const std::string& uriList) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_FILEDRAG_H
