#ifndef APP_JOBRUNNER_H
#define APP_JOBRUNNER_H

#include <QObject>
#include <functional>
#include <thread>
#include <utility>

#include "app/JobLock.h"
#include "archive/jobs/JobOutcome.h"

namespace xcr {

// The job lock, taken for a job that is about to start. While the command prepares the
// job (it may show the folder chooser), the ticket holds the lock; a ticket dropped
// without a start gives it back. Once the job starts, its runner holds it until the
// job's end report: the lock has one owner at every moment and is given back once.
class JobTicket {
public:
    JobTicket() = default;
    JobTicket(JobTicket&& other) noexcept : lock_(std::exchange(other.lock_, nullptr)) {}
    JobTicket& operator=(JobTicket&& other) noexcept;
    JobTicket(const JobTicket&) = delete;
    JobTicket& operator=(const JobTicket&) = delete;
    ~JobTicket();

    explicit operator bool() const { return lock_ != nullptr; }

private:
    friend class JobRunner;
    explicit JobTicket(JobLock* lock) : lock_(lock) {}

    JobLock* lock_ = nullptr;
};

// Runs one kind of background job, one job at a time, each on a worker thread of its
// own. The running count lives on the window's thread: it rises when a job starts and
// drops when the job's end report arrives there, after the job body has returned in
// whatever way; the job lock is given back in that same step.
class JobRunner : public QObject {
    Q_OBJECT
public:
    using Body = std::function<JobOutcome()>;
    // Starts a thread running the given work; throws std::system_error when it cannot.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;

    JobRunner(JobLock& lock, QObject* parent = nullptr);
    // Waits for a job still running; the window never lets that happen while it is open.
    ~JobRunner() override;

    // Takes the job lock for a new job of this runner. An empty ticket, and nothing
    // changed, while the lock is held: by a command preparing a job, or by a job until
    // its end report.
    JobTicket reserve();
    // Starts `body` on a new thread under the ticket's lock. A thread that cannot start
    // throws xcr::Failure "Thread creation error: ..."; nothing is counted and the
    // ticket gives the lock back.
    void start(JobTicket ticket, Body body);

    int runningCount() const { return runningCount_; }

    // Replaces how threads are started (tests simulate a failing start).
    void setThreadStarter(ThreadStarter starter) { starter_ = std::move(starter); }

signals:
    // On the window's thread, after the running count has dropped and the lock is free.
    void ended(const xcr::JobOutcome& outcome);

private:
    void finish(const JobOutcome& outcome);

    JobLock& lock_;
    ThreadStarter starter_;
    std::thread worker_;
    JobTicket running_;
    int runningCount_ = 0;
};

}  // namespace xcr

#endif  // APP_JOBRUNNER_H
