#include "serial/gpsd/name_resolver.h"

#include <atomic>
#include <cerrno>
#include <future>
#include <gtest/gtest.h>

namespace serial {
namespace {

using namespace std::chrono_literals;

// A name server that never answers keeps no caller waiting: each attempt
// fails at once, no second lookup starts, and the answer, once there, serves
// the next attempt only.
TEST(NameResolver, ASilentNameServerKeepsNoCallerWaiting) {
  std::promise<void> answer;
  std::shared_future<void> answered = answer.get_future().share();
  std::atomic<int> lookups = 0;
  NameResolver resolver([&, answered](const std::string&, const std::string&, std::vector<Endpoint>& found) {
    ++lookups;
    answered.wait();
    found.resize(1);
    return 0;
  });
  std::vector<Endpoint> found;
  const auto start = std::chrono::steady_clock::now();
  for (int attempt = 0; attempt < 3; ++attempt)
    EXPECT_EQ(resolver.resolve("gps.example", "2947", 20ms, found), ETIMEDOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "generous: each waits 20 ms";
  EXPECT_EQ(lookups, 1);
  answer.set_value();
  EXPECT_EQ(resolver.resolve("gps.example", "2947", 5s, found), 0);
  EXPECT_EQ(found.size(), 1u);
  EXPECT_EQ(resolver.resolve("gps.example", "2947", 5s, found), 0);
  EXPECT_EQ(lookups, 2);
}

}  // namespace
}  // namespace serial
