// The hand-over of calls from a worker thread to the GUI thread.
#include "serial/gui_handover.h"

#include "serial_test_support.h"
#include "support/reported_exceptions.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using serial::GuiHandover;
using Clock = GuiHandover::Clock;
using std::chrono::milliseconds;

namespace {

TEST(GuiHandover, CallRunsOnTheGuiThreadAndCarriesExceptionsBack) {
  GuiHandover handover;
  const auto gui = std::this_thread::get_id();
  std::thread::id ran_on;
  std::atomic<bool> finished{false};
  std::string caught;
  std::thread worker([&] {
    handover.Call([&] { ran_on = std::this_thread::get_id(); });
    try {
      handover.Call([] { throw std::runtime_error("from the GUI thread"); });
    } catch (const std::runtime_error& e) {
      caught = e.what();
    }
    finished = true;
    handover.WorkerFinished();
  });
  EXPECT_TRUE(PumpUntil([&] { return finished.load(); }));
  worker.join();
  EXPECT_EQ(ran_on, gui);
  EXPECT_EQ(caught, "from the GUI thread");
}

TEST(GuiHandover, WaitingForTheWorkerServesItsCallsWithoutTheEventLoop) {
  GuiHandover handover;
  int served = 0;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) handover.Call([&] { ++served; });
    handover.Send([&] { ++served; });
    handover.WorkerFinished();
  });
  handover.ServeUntilWorkerFinished();
  worker.join();
  EXPECT_EQ(served, 4);
}

TEST(GuiHandover, ACallWithAResumeTimeReturnsOnlyOnceRunAndDueUnlessItFailedOrTheWorkerIsHurried) {
  GuiHandover handover;
  std::atomic<int> ran{0};
  std::atomic<bool> finished{false};
  bool ran_before_return = false;
  Clock::duration paced{}, failed{}, hurried{};
  std::thread worker([&] {
    Clock::time_point start = Clock::now();
    handover.Call([&] { ++ran; }, start + milliseconds(300));
    paced = Clock::now() - start;
    ran_before_return = ran == 1;

    start = Clock::now();
    try {
      handover.Call([] { throw std::runtime_error("failed"); }, start + std::chrono::seconds(30));
    } catch (const std::runtime_error&) {
      failed = Clock::now() - start;
    }

    start = Clock::now();
    handover.Call([&] { ++ran; }, start + std::chrono::seconds(30));
    hurried = Clock::now() - start;
    finished = true;
    handover.WorkerFinished();
  });
  ASSERT_TRUE(PumpUntil([&] { return ran == 2; }, 10000));
  handover.Hurry();
  EXPECT_TRUE(PumpUntil([&] { return finished.load(); }, 10000));
  worker.join();
  EXPECT_TRUE(ran_before_return);
  EXPECT_GE(paced, milliseconds(300));
  EXPECT_LT(failed, std::chrono::seconds(10));
  EXPECT_LT(hurried, std::chrono::seconds(10));
}

TEST(GuiHandover, SendReturnsOnceTakenAndReportsExceptionsToTheApplication) {
  GuiHandover handover;
  testing_support::ReportedExceptions reported;
  std::atomic<bool> sent{false};
  std::atomic<bool> worker_went_on_while_running{false};
  std::thread worker([&] {
    handover.Send([&] {
      // The worker has been released before the call runs.
      worker_went_on_while_running = PumpUntil([&] { return sent.load(); }, 5000);
      throw std::runtime_error("step failed");
    });
    sent = true;
    handover.WorkerFinished();
  });
  handover.ServeUntilWorkerFinished();
  worker.join();
  EXPECT_TRUE(worker_went_on_while_running);
  EXPECT_EQ(reported.last_message(), "step failed");
}

}  // namespace
