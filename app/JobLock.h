#ifndef APP_JOBLOCK_H
#define APP_JOBLOCK_H

#include <QList>
#include <QPointer>
#include <QWidget>

namespace xcr {

// The controls a background job keeps the other archive commands away with: taken for a
// job when its command starts, given back once, when the job's end is reported (see
// JobTicket).
class JobLock {
public:
    // The controls, in the order they are disabled and enabled again.
    explicit JobLock(QList<QWidget*> controls);

    // Disables the controls; false when the lock was held already.
    bool take();
    // Enables the controls again.
    void release();
    bool isHeld() const { return held_; }

private:
    QList<QPointer<QWidget>> controls_;
    bool held_ = false;
};

}  // namespace xcr

#endif  // APP_JOBLOCK_H
