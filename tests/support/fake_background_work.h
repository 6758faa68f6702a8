// Background work for tests: each work runs on a thread of its own, as in the
// program, and is handed back on the test's thread at once (the caller finds
// it done when `run` returns, and an exception of its `done` reaches the
// caller) or, while held, when the test calls finish().
#pragma once

#include "serial/background_work.h"

#include <deque>
#include <functional>
#include <thread>
#include <utility>

namespace testing_support {

class FakeBackgroundWork : public serial::BackgroundWork {
 public:
  FakeBackgroundWork() = default;
  FakeBackgroundWork(const FakeBackgroundWork&) = delete;
  FakeBackgroundWork& operator=(const FakeBackgroundWork&) = delete;
  // The works still held end; their `done` are dropped.
  ~FakeBackgroundWork() override {
    for (Held& h : held_) h.thread.join();
  }

  void run(std::function<void()> work, std::function<void()> done) override {
    std::thread thread(std::move(work));
    if (holding_) {
      held_.push_back({std::move(thread), std::move(done)});
      return;
    }
    thread.join();
    done();
  }

  void hold(bool holding) { holding_ = holding; }
  int held() const { return static_cast<int>(held_.size()); }
  // Hands back the works held, in order, and those their `done` start.
  void finish() {
    while (!held_.empty()) {
      Held h = std::move(held_.front());
      held_.pop_front();
      h.thread.join();
      h.done();
    }
  }

 private:
  struct Held {
    std::thread thread;
    std::function<void()> done;
  };
  bool holding_ = false;
  std::deque<Held> held_;
};

}  // namespace testing_support
