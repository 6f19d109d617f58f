#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <future>
#include <system_error>

#include "app/JobRunner.h"
#include "archive/os/Failure.h"

namespace xcr {
namespace {

class JobRunnerTest : public ::testing::Test {
protected:
    JobLock lock{{}};
    JobRunner runner{lock};
    JobRunner other{lock};
};

TEST_F(JobRunnerTest, CountsAJobAndHoldsTheLockUntilItsEndReportIsTaken) {
    QSignalSpy ended(&runner, &JobRunner::ended);
    std::promise<void> release;
    auto released = release.get_future().share();
    std::atomic<bool> bodyReturned = false;
    JobTicket ticket = runner.reserve();
    ASSERT_TRUE(ticket);
    EXPECT_TRUE(lock.isHeld());
    runner.start(std::move(ticket), [&] {
        released.wait();
        bodyReturned = true;
        return JobOutcome::success();
    });
    EXPECT_EQ(runner.runningCount(), 1);
    // Neither runner takes the lock again while the job runs.
    EXPECT_FALSE(runner.reserve());
    EXPECT_FALSE(other.reserve());
    release.set_value();
    while (!bodyReturned) {
        std::this_thread::yield();
    }
    // The body has returned but its end report is not taken yet: still counted, still locked.
    EXPECT_EQ(runner.runningCount(), 1);
    EXPECT_TRUE(lock.isHeld());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 1; }));
    EXPECT_EQ(runner.runningCount(), 0);
    EXPECT_FALSE(lock.isHeld());
    EXPECT_TRUE(ended[0][0].value<JobOutcome>().ok());
}

TEST_F(JobRunnerTest, EndReportFollowsEveryEndingAndTheRunnerStartsAgain) {
    std::vector<std::string> failures;
    QObject::connect(&runner, &JobRunner::ended, [&](const JobOutcome& outcome) {
        EXPECT_EQ(runner.runningCount(), 0);
        EXPECT_FALSE(lock.isHeld());
        failures.push_back(outcome.failure);
    });
    const std::vector<JobRunner::Body> bodies = {
        [] { return JobOutcome::failed("Stream write error"); },
        []() -> JobOutcome { throw Failure("Stream read error"); },
        []() -> JobOutcome { throw std::runtime_error("odd"); }};
    for (const auto& body : bodies) {
        runner.start(runner.reserve(), body);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !lock.isHeld(); }));
    }
    EXPECT_EQ(failures,
              (std::vector<std::string>{"Stream write error", "Stream read error", "odd"}));
}

// A job that never starts gives the lock back at once: a ticket dropped while the
// command prepares, or a thread that cannot be created.
TEST_F(JobRunnerTest, AJobThatNeverStartsGivesTheLockBackAndCountsNothing) {
    { JobTicket dropped = runner.reserve(); }
    EXPECT_FALSE(lock.isHeld());

    QSignalSpy ended(&runner, &JobRunner::ended);
    bool ran = false;
    runner.setThreadStarter([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    try {
        runner.start(runner.reserve(), [&] {
            ran = true;
            return JobOutcome::success();
        });
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Thread creation error: " +
                      std::make_error_code(std::errc::resource_unavailable_try_again).message());
    }
    EXPECT_FALSE(lock.isHeld());
    EXPECT_EQ(runner.runningCount(), 0);
    QTest::qWait(10);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace xcr
