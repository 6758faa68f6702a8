// The port's reads, writes, line control and event wait without a thread.
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/device_records.h"
#include "serial/wake_signal.h"

#include <cerrno>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace serial {

// Ends a device event wait (through `cancel`) when the time runs out or the
// extra signal is set, unless the wait ended first.
class EventWaitTimer {
 public:
  EventWaitTimer(WakeSignal* extra, int timeout_ms, std::function<void()> cancel)
      : signal_(extra ? *extra : own_), cancel_(std::move(cancel)) {
    thread_ = std::thread([this, timeout_ms] { Run(timeout_ms); });
  }
  ~EventWaitTimer() {
    {
      std::lock_guard lock(signal_.mutex_);
      wait_ended_ = true;
    }
    signal_.changed_.notify_all();
    thread_.join();
  }

 private:
  void Run(int timeout_ms) {
    std::unique_lock lock(signal_.mutex_);
    auto done = [this] { return wait_ended_ || signal_.set_; };
    if (timeout_ms < 0)
      signal_.changed_.wait(lock, done);
    else
      signal_.changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), done);
    if (!wait_ended_) cancel_();
  }

  WakeSignal own_;
  WakeSignal& signal_;
  std::function<void()> cancel_;
  bool wait_ended_ = false;
  std::thread thread_;
};

namespace {

int TransferErrorCode(const TPendingOp& op) {
  return op.Kind() == okRead ? ComError::ReadFailed : ComError::WriteFailed;
}

}  // namespace

// Runs the transfer the record describes: on this thread for the blocking
// forms, in the background for the started ones. Returns the bytes moved so
// far. Links hear of a write once the driver has it under way (a blocking one
// too, before it ends), never of one that failed to start.
int TCustomComPort::Launch(TPendingOp& op, void* read_into, int count, bool background) {
  op.finished_.reset();
  std::shared_ptr<SerialDevice> device = device_;
  if (!device) throw EComPort(TransferErrorCode(op), EBADF);
  const bool write = op.kind_ == okWrite;
  // Called once with whether the write started: a blocking write tells the
  // links there and then; a started one hands the answer back to this thread.
  std::future<bool> started;
  std::function<void(bool)> answer;
  if (background) {
    auto promise = std::make_shared<std::promise<bool>>();
    started = promise->get_future();
    answer = [promise](bool ok) { promise->set_value(ok); };
  } else {
    answer = [this](bool ok) {
      if (ok) SendToLinks(leTx, true);
    };
  }
  // The device lives until the transfer returns, even when the port closes
  // meanwhile, and no longer: a closed port's device must not linger.
  transfers_->Begin();
  auto transfer = [device, counter = transfers_, write, read_into, write_from = op.data_.data(), count,
                   answer = std::move(answer)]() mutable {
    struct Release {
      std::shared_ptr<SerialDevice>& device;
      std::shared_ptr<TransferCounter>& counter;
      ~Release() {
        device.reset();
        counter->End();
      }
    } release{device, counter};
    TPendingOp::Result r;
    if (!write) {
      r.error = device->read(read_into, count, r.done);
      return r;
    }
    bool told = false;
    r.error = device->write(write_from, count, r.done, [&] {
      told = true;
      answer(true);
    });
    // A write of nothing starts and ends at once.
    if (!told) answer(r.error == 0);
    return r;
  };
  if (background) {
    try {
      op.running_ = std::async(std::launch::async, std::move(transfer));
    } catch (...) {
      transfers_->End();
      throw;
    }
    if (write) {
      if (!started.get()) {
        op.finished_ = op.running_.get();
        throw EComPort(ComError::WriteFailed, op.finished_->error);
      }
      SendToLinks(leTx, true);
    }
    return 0;
  }
  op.finished_ = transfer();
  if (op.finished_->error) throw EComPort(TransferErrorCode(op), op.finished_->error);
  return op.finished_->done;
}

// A transfer still running on the record reads from it (the written copy):
// it must end before the record takes a new transfer.
void TCustomComPort::AwaitTransfer(TPendingOp& op) {
  if (op.running_.valid()) op.running_.wait();
}

void TCustomComPort::PrepareRead(TPendingOp* op) {
  if (!op) throw EComPort(ComError::InvalidAsync);
  AwaitTransfer(*op);
  op->kind_ = okRead;
  op->data_.clear();
}

void TCustomComPort::PrepareWrite(TPendingOp* op, const void* buffer, int count) {
  if (!op) throw EComPort(ComError::InvalidAsync);
  AwaitTransfer(*op);
  op->kind_ = okWrite;
  op->data_.assign(static_cast<const char*>(buffer), count > 0 ? static_cast<size_t>(count) : 0);
}

int TCustomComPort::ReadBytes(void* buffer, int count) {
  TPendingOp op;
  PrepareRead(&op);
  Launch(op, buffer, count, false);
  return WaitForCompletion(&op);
}

int TCustomComPort::ReadText(std::string& text, int count) {
  text.assign(count > 0 ? static_cast<size_t>(count) : 0, '\0');
  if (count <= 0) return 0;
  const int done = ReadBytes(text.data(), count);
  text.resize(static_cast<size_t>(done));
  return done;
}

int TCustomComPort::WriteBytes(const void* buffer, int count) {
  TPendingOp op;
  PrepareWrite(&op, buffer, count);
  Launch(op, nullptr, count, false);
  return WaitForCompletion(&op);
}

int TCustomComPort::WriteText(const std::string& text) {
  if (text.empty()) return 0;
  return WriteBytes(text.data(), static_cast<int>(text.size()));
}

int TCustomComPort::StartRead(void* buffer, int count, TPendingOp* op) {
  PrepareRead(op);
  return Launch(*op, buffer, count, true);
}

int TCustomComPort::StartReadText(std::string& text, int count, TPendingOp* op) {
  text.assign(count > 0 ? static_cast<size_t>(count) : 0, '\0');
  if (count <= 0) return 0;
  return StartRead(text.data(), count, op);
}

int TCustomComPort::StartWrite(const void* buffer, int count, TPendingOp* op) {
  PrepareWrite(op, buffer, count);
  return Launch(*op, nullptr, count, true);
}

int TCustomComPort::StartWriteText(const std::string& text, TPendingOp* op) {
  if (text.empty()) return 0;
  return StartWrite(text.data(), static_cast<int>(text.size()), op);
}

TPendingOp::Result TCustomComPort::FinishTransfer(TPendingOp& op) {
  if (op.running_.valid()) op.finished_ = op.running_.get();
  if (op.finished_) return *op.finished_;
  return {EINVAL, 0};  // nothing was started on this record
}

int TCustomComPort::WaitForCompletion(TPendingOp* op) {
  if (!op) throw EComPort(ComError::InvalidAsync);
  const TPendingOp::Result r = FinishTransfer(*op);
  if (r.error) throw EComPort(TransferErrorCode(*op), r.error);
  if (op->kind_ == okRead) {
    // Once closed there is no queue to report on.
    if (connected_ && QueuedInput() == 0) SendToLinks(leRx, false);
  } else if (!op->data_.empty() && r.done > 0) {
    // Links hear of the bytes that went out, not of those a timeout cut off.
    ForEachLink([&](TComLink& link) {
      if (link.OnTxBuf) link.OnTxBuf(this, op->data_.data(), r.done);
    });
  }
  return r.done;
}

bool TCustomComPort::IsCompleted(TPendingOp* op) {
  if (!op) throw EComPort(ComError::InvalidAsync);
  if (!op->finished_) {
    if (!op->running_.valid()) throw EComPort(ComError::AsyncCheckFailed, EINVAL);
    if (op->running_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
    op->finished_ = op->running_.get();
  }
  // A transfer that ended in failure has no status to give.
  if (op->finished_->error) throw EComPort(ComError::AsyncCheckFailed, op->finished_->error);
  return true;
}

// --- Line control ---

void TCustomComPort::EscapeFunction(int function) {
  if (int e = Device().escape(function)) throw EComPort(ComError::EscapeComFailed, e);
}

void TCustomComPort::SetDTRLine(bool on) { EscapeFunction(on ? Escape::SetDtr : Escape::ClrDtr); }
void TCustomComPort::SetRTSLine(bool on) { EscapeFunction(on ? Escape::SetRts : Escape::ClrRts); }
void TCustomComPort::SetFlowState(bool xon) { EscapeFunction(xon ? Escape::SetXon : Escape::SetXoff); }
void TCustomComPort::SetBreakState(bool on) { EscapeFunction(on ? Escape::SetBreak : Escape::ClrBreak); }

void TCustomComPort::ClearQueues(bool input, bool output) {
  uint32_t flags = 0;
  if (input) flags |= Purge::RxClear;
  if (output) flags |= Purge::TxClear;
  if (int e = Device().purge(flags)) throw EComPort(ComError::PurgeFailed, e);
}

void TCustomComPort::SendCharNow(char c) {
  if (int e = Device().transmit_char(c)) throw EComPort(ComError::TransmitFailed, e);
}

void TCustomComPort::WaitForEvent(TComEvents& events, WakeSignal* extra, int timeout_ms) {
  if (thread_created_) throw EComPort(ComError::ThreadCreated);
  SerialDevice& device = Device();
  if (int e = device.set_event_mask(EventsToMask(events))) throw EComPort(ComError::WaitFailed, e);
  uint32_t mask = 0;
  int result = 0;
  {
    EventWaitTimer timer(extra, timeout_ms, [&device] { device.cancel_wait(); });
    result = device.wait_event(mask);
  }
  device.set_event_mask(0);
  if (result) throw EComPort(ComError::WaitFailed, result);
  events = MaskToEvents(mask);
}

}  // namespace serial
