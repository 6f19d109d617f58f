#ifndef APP_WINDOWJOBHOST_H
#define APP_WINDOWJOBHOST_H

#include <QMetaObject>
#include <QProgressBar>
#include <QThread>
#include <type_traits>

#include "app/CheckListBox.h"
#include "app/JobLock.h"
#include "archive/JobHost.h"
#include "platform/Beeper.h"
#include "platform/FolderChooser.h"

namespace xcr {

// Carries out a job's window work on the window's thread, in the order the job issues
// it. Reads and the folder chooser wait for their answer; the progress bar, the beep
// and the lock release are queued without waiting, which keeps their order with the
// reads that follow them.
class WindowJobHost : public JobHost {
public:
    struct Parts {
        QWidget* window;
        CheckListBox* list;
        QProgressBar* progress;
        JobLock* lock;
        FolderChooser* chooser;
        Beeper* beeper;
    };

    explicit WindowJobHost(Parts parts) : parts_(parts) {}

    int entryCount() override;
    std::string entryName(int index) override;
    bool isChecked(int index) override;
    void setProgressMax(int maximum) override;
    void setProgress(int position) override;
    std::string chooseExtractionFolder() override;
    void beep() override;
    void releaseLock() override;

private:
    // An index past the list reads as an unchecked, unnamed entry rather than failing
    // on the window's thread.
    bool hasEntry(int index) const;
    template <typename Work>
    auto answer(Work work) -> decltype(work());
    template <typename Work>
    void post(Work work);

    Parts parts_;
};

template <typename Work>
auto WindowJobHost::answer(Work work) -> decltype(work()) {
    if (QThread::currentThread() == parts_.window->thread()) {
        return work();
    }
    decltype(work()) result{};
    QMetaObject::invokeMethod(parts_.window, std::move(work), Qt::BlockingQueuedConnection,
                              &result);
    return result;
}

template <typename Work>
void WindowJobHost::post(Work work) {
    if (QThread::currentThread() == parts_.window->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(parts_.window, std::move(work), Qt::QueuedConnection);
}

}  // namespace xcr

#endif  // APP_WINDOWJOBHOST_H
