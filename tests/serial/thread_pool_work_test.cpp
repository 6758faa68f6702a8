// The program's background work: away from the calling thread, handed back
// on it through its event loop, never after it is gone.
#include "serial/thread_pool_work.h"

#include "support/reported_exceptions.h"
#include "support/wait_until.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace {

TEST(ThreadPoolWork, WorksAwayHandsBackThroughTheEventLoopAndNeverOnceGone) {
  testing_support::ReportedExceptions reported;
  const std::thread::id here = std::this_thread::get_id();
  std::thread::id worked_on;
  std::thread::id done_on;
  int done = 0;
  {
    serial::ThreadPoolWork background;
    background.run([&] { worked_on = std::this_thread::get_id(); },
                   [&] {
                     done_on = std::this_thread::get_id();
                     ++done;
                   });
    background.run([] {}, [] { throw std::runtime_error("no caller"); });
    EXPECT_EQ(done, 0);
    ASSERT_TRUE(testing_support::PumpUntil([&] { return done == 1 && reported.errors.size() == 1; }));
    EXPECT_NE(worked_on, here);
    EXPECT_EQ(done_on, here);
    EXPECT_EQ(reported.last_message(), "no caller");
    background.run([] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }, [&] { ++done; });
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(done, 1) << "handed back after the work was destroyed";
}

}  // namespace
