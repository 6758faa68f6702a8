#include "serial/posix/modem_watcher.h"

#include "support/wait_until.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace serial {
namespace {

using namespace std::chrono_literals;

int threads_now() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

TEST(ModemWatcher, ReportsEachChangeUntilTheWaitFails) {
  std::atomic<int> changes{0};
  int waits = 0;  // touched by the helper only
  ModemWatcher watcher([&] { return ++waits <= 3 ? 0 : ENOTTY; }, [&] { ++changes; });
  EXPECT_TRUE(testing_support::WaitUntil([&] { return changes == 3; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(changes, 3);
}

TEST(ModemWatcher, StoppingEndsAHelperBlockedInASystemCall) {
  int threads = threads_now();
  // Stopped both before and while the helper sits in its blocking call: the
  // signal must never be lost in between.
  for (int i = 0; i < 200; ++i) {
    std::atomic<bool> blocked{false};
    ModemWatcher watcher(
        [&] {
          blocked = true;
          ::pause();  // returns only when a signal comes
          return errno;
        },
        [] {});
    if (i % 2) {
      ASSERT_TRUE(testing_support::WaitUntil([&] { return blocked.load(); }));
    }
  }
  EXPECT_EQ(threads_now(), threads);
}

}  // namespace
}  // namespace serial
