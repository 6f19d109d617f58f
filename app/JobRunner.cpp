#include "app/JobRunner.h"

#include <QMetaObject>
#include <exception>
#include <system_error>

#include "archive/os/Failure.h"

namespace xcr {

namespace {

JobOutcome runCatching(const JobRunner::Body& body) {
    try {
        return body();
    } catch (const std::exception& failure) {
        return JobOutcome::failed(failure.what());
    }
}

}  // namespace

JobTicket& JobTicket::operator=(JobTicket&& other) noexcept {
    if (this != &other) {
        if (lock_ != nullptr) {
            lock_->release();
        }
        lock_ = std::exchange(other.lock_, nullptr);
    }
    return *this;
}

JobTicket::~JobTicket() {
    if (lock_ != nullptr) {
        lock_->release();
    }
}

JobRunner::JobRunner(JobLock& lock, QObject* parent)
    : QObject(parent),
      lock_(lock),
      starter_([](std::function<void()> work) { return std::thread(std::move(work)); }) {}

JobRunner::~JobRunner() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

JobTicket JobRunner::reserve() {
    // A counted job holds the lock until its end report: no second job of either runner.
    if (lock_.isHeld()) {
        return {};
    }
    lock_.take();
    return JobTicket(&lock_);
}

void JobRunner::start(JobTicket ticket, Body body) {
    if (!ticket) {
        return;
    }
    // A thread whose end report was taken has returned from its work; only its exit may
    // still be under way.
    if (worker_.joinable()) {
        worker_.join();
    }
    try {
        worker_ = starter_([this, body = std::move(body)] {
            const JobOutcome outcome = runCatching(body);
            QMetaObject::invokeMethod(
                this, [this, outcome] { finish(outcome); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error& failure) {
        throw Failure("Thread creation error: " + failure.code().message());
    }
    ++runningCount_;
    running_ = std::move(ticket);
}

void JobRunner::finish(const JobOutcome& outcome) {
    if (worker_.joinable()) {
        worker_.join();
    }
    --runningCount_;
    running_ = JobTicket();
    emit ended(outcome);
}

}  // namespace xcr
