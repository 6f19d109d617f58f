#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <future>
#include <system_error>

#include "app/JobRunner.h"
#include "archive/Failure.h"

namespace xcr {
namespace {

TEST(JobRunnerTest, CountsAJobUntilItsEndReportIsTaken) {
    JobRunner runner;
    QSignalSpy ended(&runner, &JobRunner::ended);
    std::promise<void> release;
    auto released = release.get_future().share();
    std::atomic<bool> bodyReturned = false;
    ASSERT_TRUE(runner.start([&] {
        released.wait();
        bodyReturned = true;
        return JobOutcome::success();
    }));
    EXPECT_EQ(runner.runningCount(), 1);
    // Exclusive: a second start does nothing while the first is counted.
    EXPECT_FALSE(runner.start([] { return JobOutcome::failed("second"); }));
    release.set_value();
    while (!bodyReturned) {
        std::this_thread::yield();
    }
    // The body has returned but its end report is not taken yet: still counted.
    EXPECT_EQ(runner.runningCount(), 1);
    EXPECT_FALSE(runner.start([] { return JobOutcome::failed("second"); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 1; }));
    EXPECT_EQ(runner.runningCount(), 0);
    EXPECT_TRUE(ended[0][0].value<JobOutcome>().ok());
}

TEST(JobRunnerTest, EndReportFollowsEveryEndingAndTheRunnerStartsAgain) {
    JobRunner runner;
    std::vector<std::string> failures;
    int countAtReport = -1;
    QObject::connect(&runner, &JobRunner::ended, [&](const JobOutcome& outcome) {
        failures.push_back(outcome.failure);
        countAtReport = runner.runningCount();
    });
    ASSERT_TRUE(runner.start([] { return JobOutcome::failed("Stream write error"); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return failures.size() == 1; }));
    EXPECT_EQ(countAtReport, 0);
    ASSERT_TRUE(runner.start([]() -> JobOutcome { throw Failure("Stream read error"); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return failures.size() == 2; }));
    ASSERT_TRUE(runner.start([]() -> JobOutcome { throw std::runtime_error("odd"); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return failures.size() == 3; }));
    EXPECT_EQ(failures,
              (std::vector<std::string>{"Stream write error", "Stream read error", "odd"}));
    EXPECT_EQ(runner.runningCount(), 0);
}

TEST(JobRunnerTest, ThreadThatCannotStartFailsWithTheSystemsReasonAndCountsNothing) {
    JobRunner runner;
    QSignalSpy ended(&runner, &JobRunner::ended);
    bool ran = false;
    runner.setThreadStarter([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    try {
        runner.start([&] {
            ran = true;
            return JobOutcome::success();
        });
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Thread creation error: " +
                      std::make_error_code(std::errc::resource_unavailable_try_again).message());
    }
    EXPECT_EQ(runner.runningCount(), 0);
    QTest::qWait(10);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace xcr
