#ifndef APP_JOBRUNNER_H
#define APP_JOBRUNNER_H

#include <QObject>
#include <functional>
#include <thread>

#include "archive/JobOutcome.h"

namespace xcr {

// Runs one kind of background job, one job at a time, each on a worker thread of its
// own. The running count lives on the window's thread: it rises when a job starts and
// drops when the job's end report arrives there, after the job body has returned in
// whatever way.
class JobRunner : public QObject {
    Q_OBJECT
public:
    using Body = std::function<JobOutcome()>;
    // Starts a thread running the given work; throws std::system_error when it cannot.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;

    explicit JobRunner(QObject* parent = nullptr);
    // Waits for a job still running; the window never lets that happen while it is open.
    ~JobRunner() override;

    // Starts `body` on a new thread. False (and nothing started) while a job of this
    // runner is still counted. A thread that cannot start throws xcr::Failure
    // "Thread creation error: ..." and nothing is counted.
    bool start(Body body);

    int runningCount() const { return runningCount_; }

    // Replaces how threads are started (tests simulate a failing start).
    void setThreadStarter(ThreadStarter starter) { starter_ = std::move(starter); }

signals:
    // On the window's thread, after the running count has dropped.
    void ended(const xcr::JobOutcome& outcome);

private:
    void finish(const JobOutcome& outcome);

    ThreadStarter starter_;
    std::thread worker_;
    int runningCount_ = 0;
};

}  // namespace xcr

#endif  // APP_JOBRUNNER_H
