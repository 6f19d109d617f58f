#include "app/JobRunner.h"

#include <QMetaObject>
#include <exception>
#include <system_error>

#include "archive/Failure.h"

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

JobRunner::JobRunner(QObject* parent)
    : QObject(parent),
      starter_([](std::function<void()> work) { return std::thread(std::move(work)); }) {}

JobRunner::~JobRunner() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool JobRunner::start(Body body) {
    if (runningCount_ > 0) {
        return false;
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
    return true;
}

void JobRunner::finish(const JobOutcome& outcome) {
    if (worker_.joinable()) {
        worker_.join();
    }
    --runningCount_;
    emit ended(outcome);
}

}  // namespace xcr
