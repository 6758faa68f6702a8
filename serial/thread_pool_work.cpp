#include "serial/thread_pool_work.h"

#include "serial/application_exceptions.h"

#include <exception>
#include <utility>

namespace serial {

ThreadPoolWork::~ThreadPoolWork() {
  // The receiver goes after this: the hand-backs still queued to it go with
  // it, uncalled.
  pool_.waitForDone();
}

void ThreadPoolWork::run(std::function<void()> work, std::function<void()> done) {
  pool_.start([this, work = std::move(work), done = std::move(done)]() mutable {
    work();
    QMetaObject::invokeMethod(
        &receiver_,
        [done = std::move(done)] {
          try {
            done();
          } catch (...) {
            HandleApplicationException(std::current_exception());
          }
        },
        Qt::QueuedConnection);
  });
}

}  // namespace serial
