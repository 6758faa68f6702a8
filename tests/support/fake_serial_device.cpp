#include "fake_serial_device.h"

#include "support/wait_until.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/syscall.h>
#include <unistd.h>

using namespace serial;

// One open handle on the line.
class FakeSerialLine::Device final : public SerialDevice {
 public:
  explicit Device(FakeSerialLine& line) : line_(line) {}
  ~Device() override {
    std::lock_guard lock(line_.mutex_);
    --line_.open_devices_;
    line_.mask_ = 0;
    line_.pending_events_ = 0;
    line_.cancel_pending_ = false;
  }

  int setup_queues(int input_size, int output_size) override {
    line_.Log("setup_queues " + std::to_string(input_size) + " " + std::to_string(output_size));
    return line_.Fail(FakeOp::SetupQueues);
  }
  int set_state(const Dcb& dcb) override {
    line_.Log("set_state");
    if (int e = line_.Fail(FakeOp::SetState)) return e;
    std::lock_guard lock(line_.mutex_);
    line_.last_dcb_ = dcb;
    return 0;
  }
  int set_timeouts(const CommTimeouts& timeouts) override {
    line_.Log("set_timeouts");
    if (int e = line_.Fail(FakeOp::SetTimeouts)) return e;
    std::lock_guard lock(line_.mutex_);
    line_.timeouts_ = timeouts;
    return 0;
  }
  int clear_error(uint32_t& errors, uint32_t& in_queue, uint32_t& out_queue) override {
    line_.Log("clear_error");
    if (int e = line_.Fail(FakeOp::ClearError)) return e;
    std::lock_guard lock(line_.mutex_);
    errors = line_.line_errors_;
    line_.line_errors_ = 0;
    in_queue = static_cast<uint32_t>(line_.rx_.size());
    out_queue = line_.out_queue_;
    return 0;
  }
  int modem_status(uint32_t& lines) override {
    line_.Log("modem_status");
    if (int e = line_.Fail(FakeOp::ModemStatus)) return e;
    std::lock_guard lock(line_.mutex_);
    lines = line_.modem_lines_;
    return 0;
  }
  int purge(uint32_t flags) override {
    line_.Log("purge " + std::to_string(flags));
    if (int e = line_.Fail(FakeOp::Purge)) return e;
    {
      std::lock_guard lock(line_.mutex_);
      if (flags & (Purge::RxAbort | Purge::TxAbort)) ++line_.abort_generation_;
      if (flags & Purge::RxClear) line_.rx_.clear();
      if (flags & Purge::TxClear) line_.out_queue_ = 0;
    }
    line_.changed_.notify_all();
    return 0;
  }
  int escape(int function) override {
    line_.Log("escape " + std::to_string(function));
    return line_.Fail(FakeOp::Escape);
  }
  int transmit_char(char c) override {
    line_.Log("transmit_char " + std::to_string(static_cast<unsigned char>(c)));
    return line_.Fail(FakeOp::TransmitChar);
  }

  // With ReadInterval -1 and no read totals a read returns at once with what
  // is queued; otherwise it waits for `count` bytes, an abort, or the total
  // time limit when one is set.
  int read(void* buffer, int count, int& done) override {
    line_.Log("read " + std::to_string(count));
    done = 0;
    if (int e = line_.Fail(FakeOp::Read)) return e;
    std::unique_lock lock(line_.mutex_);
    const CommTimeouts t = line_.timeouts_;
    const bool at_once = t.ReadInterval == -1 && t.ReadTotalMultiplier == 0 && t.ReadTotalConstant == 0;
    if (!at_once) {
      const uint64_t aborts = line_.abort_generation_;
      auto ready = [&] { return line_.rx_.size() >= static_cast<size_t>(count) || line_.abort_generation_ != aborts; };
      const int total_ms = t.ReadTotalMultiplier * count + t.ReadTotalConstant;
      if (total_ms > 0)
        line_.changed_.wait_for(lock, std::chrono::milliseconds(total_ms), ready);
      else
        line_.changed_.wait(lock, ready);
    }
    const size_t n = std::min(line_.rx_.size(), static_cast<size_t>(std::max(count, 0)));
    std::memcpy(buffer, line_.rx_.data(), n);
    line_.rx_.erase(0, n);
    done = static_cast<int>(n);
    return 0;
  }
  int write(const void* buffer, int count, int& done, const std::function<void()>& started) override {
    line_.Log("write " + std::to_string(count));
    done = 0;
    if (int e = line_.Fail(FakeOp::Write)) return e;
    if (started) started();
    std::unique_lock lock(line_.mutex_);
    const uint64_t aborts = line_.abort_generation_;
    line_.changed_.wait(lock, [&] { return !line_.writes_held_ || line_.abort_generation_ != aborts; });
    if (line_.writes_held_) return 0;  // aborted before it could send
    if (line_.write_failure_under_way_) return line_.write_failure_under_way_;
    const int n = line_.write_room_ < 0 ? count : std::min(count, line_.write_room_);
    line_.written_.append(static_cast<const char*>(buffer), static_cast<size_t>(n));
    done = n;
    return 0;
  }

  int set_event_mask(uint32_t mask) override {
    char text[40];
    std::snprintf(text, sizeof text, "set_event_mask 0x%x", mask);
    line_.Log(text);
    if (int e = line_.Fail(FakeOp::SetEventMask)) return e;
    {
      std::lock_guard lock(line_.mutex_);
      line_.mask_ = mask;
      line_.pending_events_ &= mask;
      ++line_.mask_generation_;
      line_.cancel_pending_ = false;
    }
    line_.changed_.notify_all();
    return 0;
  }
  int wait_event(uint32_t& events) override {
    events = 0;
    std::unique_lock lock(line_.mutex_);
    ++line_.wait_event_calls_;
    line_.waiter_ = static_cast<pid_t>(syscall(SYS_gettid));
    if (line_.vanished_) return EIO;
    if (int e = line_.failures_[static_cast<int>(FakeOp::WaitEvent)]) return e;
    const uint64_t generation = line_.mask_generation_;
    ++line_.waiting_;
    line_.changed_.notify_all();
    line_.changed_.wait(lock, [&] {
      return line_.vanished_ || line_.cancel_pending_ || line_.mask_generation_ != generation ||
             (line_.pending_events_ & line_.mask_) != 0;
    });
    --line_.waiting_;
    line_.changed_.notify_all();
    if (line_.vanished_) return EIO;
    if (line_.cancel_pending_) {
      line_.cancel_pending_ = false;
      return 0;
    }
    if (line_.mask_generation_ != generation) return 0;
    events = line_.pending_events_ & line_.mask_;
    line_.pending_events_ &= ~events;
    return 0;
  }
  void cancel_wait() override {
    {
      std::lock_guard lock(line_.mutex_);
      line_.cancel_pending_ = true;
    }
    line_.changed_.notify_all();
  }

 private:
  FakeSerialLine& line_;
};

std::unique_ptr<SerialDevice> FakeSerialLine::open(const std::string& port, int& error) {
  std::lock_guard lock(mutex_);
  last_opened_ = port;
  if (open_error_) {
    error = open_error_;
    return nullptr;
  }
  ++open_devices_;
  ++open_count_;
  vanished_ = false;
  return std::make_unique<Device>(*this);
}

int FakeSerialLine::Fail(FakeOp op) {
  std::lock_guard lock(mutex_);
  // A vanished device still lets its port stop waiting and close.
  if (vanished_ && op != FakeOp::Purge && op != FakeOp::SetEventMask) return EIO;
  return failures_[static_cast<int>(op)];
}

void FakeSerialLine::Log(std::string call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

void FakeSerialLine::Raise(uint32_t event_bits) { pending_events_ |= event_bits & mask_; }

void FakeSerialLine::Feed(const std::string& bytes, uint32_t line_errors) {
  {
    std::lock_guard lock(mutex_);
    rx_ += bytes;
    line_errors_ |= line_errors;
    Raise(EventBit::RxChar | (line_errors ? EventBit::Error : 0));
  }
  changed_.notify_all();
}

void FakeSerialLine::RaiseLineErrors(uint32_t line_errors, bool raise_event) {
  {
    std::lock_guard lock(mutex_);
    line_errors_ |= line_errors;
    if (raise_event) Raise(EventBit::Error);
  }
  changed_.notify_all();
}

void FakeSerialLine::SetModemLines(uint32_t modem_lines) {
  {
    std::lock_guard lock(mutex_);
    const uint32_t changed = modem_lines ^ modem_lines_;
    modem_lines_ = modem_lines;
    uint32_t events = 0;
    if (changed & ModemLine::Cts) events |= EventBit::Cts;
    if (changed & ModemLine::Dsr) events |= EventBit::Dsr;
    if (changed & ModemLine::Rlsd) events |= EventBit::Rlsd;
    if (changed & modem_lines & ModemLine::Ring) events |= EventBit::Ring;
    Raise(events);
  }
  changed_.notify_all();
}

void FakeSerialLine::RaiseEvents(uint32_t event_bits) {
  {
    std::lock_guard lock(mutex_);
    Raise(event_bits);
  }
  changed_.notify_all();
}

void FakeSerialLine::SetOutputQueue(uint32_t bytes) {
  std::lock_guard lock(mutex_);
  out_queue_ = bytes;
}

void FakeSerialLine::SetWriteRoom(int bytes) {
  std::lock_guard lock(mutex_);
  write_room_ = bytes;
}

void FakeSerialLine::HoldWrites(bool held) {
  {
    std::lock_guard lock(mutex_);
    writes_held_ = held;
  }
  changed_.notify_all();
}

void FakeSerialLine::SetFailure(FakeOp op, int error) {
  std::lock_guard lock(mutex_);
  failures_[static_cast<int>(op)] = error;
}

void FakeSerialLine::SetWriteFailureUnderWay(int error) {
  std::lock_guard lock(mutex_);
  write_failure_under_way_ = error;
}

void FakeSerialLine::SetOpenError(int error) {
  std::lock_guard lock(mutex_);
  open_error_ = error;
}

void FakeSerialLine::Vanish() {
  {
    std::lock_guard lock(mutex_);
    vanished_ = true;
  }
  changed_.notify_all();
}

bool FakeSerialLine::IsOpen() {
  std::lock_guard lock(mutex_);
  return open_devices_ > 0;
}

int FakeSerialLine::OpenCount() {
  std::lock_guard lock(mutex_);
  return open_count_;
}

std::string FakeSerialLine::LastOpenedName() {
  std::lock_guard lock(mutex_);
  return last_opened_;
}

std::vector<std::string> FakeSerialLine::Calls() {
  std::lock_guard lock(mutex_);
  return calls_;
}

void FakeSerialLine::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

int FakeSerialLine::CountCalls(const std::string& prefix) {
  std::lock_guard lock(mutex_);
  return static_cast<int>(
      std::count_if(calls_.begin(), calls_.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

Dcb FakeSerialLine::LastDcb() {
  std::lock_guard lock(mutex_);
  return last_dcb_;
}

CommTimeouts FakeSerialLine::LastTimeouts() {
  std::lock_guard lock(mutex_);
  return timeouts_;
}

std::string FakeSerialLine::Written() {
  std::lock_guard lock(mutex_);
  return written_;
}

uint32_t FakeSerialLine::EventMask() {
  std::lock_guard lock(mutex_);
  return mask_;
}

int FakeSerialLine::WaitEventCalls() {
  std::lock_guard lock(mutex_);
  return wait_event_calls_;
}

bool FakeSerialLine::Waiting() {
  std::lock_guard lock(mutex_);
  return waiting_ > 0;
}

bool FakeSerialLine::WaitUntilWaiting(int timeout_ms) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return waiting_ > 0; });
}

bool FakeSerialLine::WaitUntilHandingOver(int timeout_ms) {
  std::unique_lock lock(mutex_);
  // With no wait under way, the thread has left wait_event for good: the
  // next time it sleeps, it sleeps in the hand-over.
  if (!changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return waiting_ == 0; })) return false;
  const std::string stat = "/proc/self/task/" + std::to_string(waiter_) + "/stat";
  lock.unlock();
  return testing_support::WaitUntil(
      [&] {
        std::string text;
        std::getline(std::ifstream(stat), text);
        return text.compare(text.rfind(')') + 1, 2, " S") == 0;  // the state follows the command name
      },
      std::chrono::milliseconds(timeout_ms));
}
