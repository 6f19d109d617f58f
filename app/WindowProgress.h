#ifndef APP_WINDOWPROGRESS_H
#define APP_WINDOWPROGRESS_H

#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QThread>

#include "archive/jobs/JobProgress.h"
#include "platform/Beeper.h"

namespace xcr {

// A job's reports, carried out on the window's thread in the order the job gives them.
// None is waited for; all of them arrive before the job's end report, which follows
// them through the same queue.
class WindowProgress : public JobProgress {
public:
    WindowProgress(QProgressBar& bar, Beeper& beeper) : bar_(&bar), beeper_(beeper) {}

    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    void beep() override;

private:
    template <typename Work>
    void post(Work work);

    QPointer<QProgressBar> bar_;
    Beeper& beeper_;
};

template <typename Work>
void WindowProgress::post(Work work) {
    if (QThread::currentThread() == bar_->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(bar_.data(), std::move(work), Qt::QueuedConnection);
}

}  // namespace xcr

#endif  // APP_WINDOWPROGRESS_H
