#include "serial/gpsd/name_resolver.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace serial {
namespace {

using namespace std::chrono_literals;

// A name server that never answers keeps no caller waiting: each attempt
// fails at once, no second lookup starts, and the answer, once there, serves
// the next attempt.
TEST(NameResolver, ASilentNameServerKeepsNoCallerWaiting) {
  std::mutex mutex;
  std::condition_variable answered;
  bool answer = false;
  std::atomic<int> lookups = 0;
  NameResolver resolver([&](const std::string&, const std::string&, std::vector<Endpoint>& found) {
    ++lookups;
    std::unique_lock lock(mutex);
    answered.wait(lock, [&] { return answer; });
    found.resize(1);
    return 0;
  });
  std::vector<Endpoint> found;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(resolver.resolve("gpsbox.example", "2947", 20ms, found), ETIMEDOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "generous: the wait is 20 ms";
  }
  EXPECT_EQ(lookups, 1);
  {
    std::lock_guard lock(mutex);
    answer = true;
  }
  answered.notify_all();
  EXPECT_EQ(resolver.resolve("gpsbox.example", "2947", 5s, found), 0);
  EXPECT_EQ(found.size(), 1u);
  // Answered once: the next attempt asks again.
  EXPECT_EQ(resolver.resolve("gpsbox.example", "2947", 5s, found), 0);
  EXPECT_EQ(lookups, 2);
}

}  // namespace
}  // namespace serial
