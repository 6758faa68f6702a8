// Background work for tests: each work runs on a thread of its own, then its
// `done` on the test's thread; at once (an exception of `done` reaches the
// caller of `run`) or, while held, when the test calls finish().
#pragma once

#include "serial/background_work.h"

#include <deque>
#include <thread>
#include <utility>

namespace testing_support {

class FakeBackgroundWork : public serial::BackgroundWork {
 public:
  void run(std::function<void()> work, std::function<void()> done) override {
    held_.emplace_back(std::move(work), std::move(done));
    if (!holding_) finish();
  }
  void hold(bool holding) { holding_ = holding; }
  int held() const { return static_cast<int>(held_.size()); }
  void finish() {  // in order, with those their `done` start
    while (!held_.empty()) {
      auto [work, done] = std::move(held_.front());
      held_.pop_front();
      std::thread(std::move(work)).join();
      done();
    }
  }

 private:
  bool holding_ = false;
  std::deque<std::pair<std::function<void()>, std::function<void()>>> held_;
};

}  // namespace testing_support
