#ifndef PLATFORM_STATUSNOTE_H
#define PLATFORM_STATUSNOTE_H

#include <QString>

class QWidget;

namespace xcr {

// A short note about something that happened without the user asking just then, shown
// by `near` for a few seconds: nothing to confirm, nothing that stops the user's work.
class StatusNote {
public:
    virtual ~StatusNote() = default;
    virtual void show(QWidget& near, const QString& text) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_STATUSNOTE_H
