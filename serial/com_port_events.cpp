// The port's step for each device event, run by the event thread's dispatch
// (com_thread.h) on the thread its SyncMethod chooses.
#include "serial/com_port.h"

#include <vector>

namespace serial {

void TCustomComPort::RunEventStep(TComEvent event, std::chrono::steady_clock::time_point woken_at) {
  switch (event) {
    case evError: {
      const TComErrors errors = TakeLineErrors();
      if (!errors.empty()) FireError(errors);
      break;
    }
    case evRxChar:
      rx_arrival_ = woken_at;
      ReceiveStep();
      break;
    case evTxEmpty:
      SendToLinks(leTx, false);
      SendToLinks(leTxEmpty, true);
      FireTxEmpty();
      break;
    case evBreak:
      FireBreak();
      break;
    case evRing:
      SendToLinks(leRing, true);
      FireRing();
      break;
    case evCTS:
      SignalStep(csCTS, leCTS);
      break;
    case evDSR:
      SignalStep(csDSR, leDSR);
      break;
    case evRxFlag:
      SendToLinks(leRxFlag, true);
      FireRxFlag();
      break;
    case evRLSD:
      SignalStep(csRLSD, leRLSD);
      break;
    case evRx80Full:
      FireRx80Full();
      break;
  }
}

void TCustomComPort::SignalStep(TComSignal signal, TComLinkEvent link_event) {
  const bool on = ReadModemSignals().contains(signal);
  SendToLinks(link_event, on);
  switch (signal) {
    case csCTS:
      FireCTSChange(on);
      break;
    case csDSR:
      FireDSRChange(on);
      break;
    case csRLSD:
      FireRLSDChange(on);
      break;
    case csRing:
      break;
  }
}

void TCustomComPort::ReceiveStep() {
  int count = QueuedInput();
  if (count > 0) SendToLinks(leRx, true);
  if (count > 0 && !(triggers_on_rx_char_ && !has_link_)) {
    // The port reads the queue once for every link that takes buffers (and
    // for OnRxBuf when it does not announce counts); the buffer holds only
    // what the read returned, never stale bytes past it.
    std::vector<char> buffer;
    int got = 0;
    bool taken = false;
    auto take = [&] {
      buffer.resize(static_cast<size_t>(count));
      got = ReadBytes(buffer.data(), count);
      taken = true;
      FireRxBuf(buffer.data(), got);
    };
    ForEachLink([&](TComLink& link) {
      if (!link.OnRxBuf) return;
      if (!taken) take();
      link.OnRxBuf(this, buffer.data(), got);
    });
    if (!taken && !triggers_on_rx_char_) take();
    if (taken) count = 0;
  }
  if (count > 0) FireRxChar(count);
}

void TCustomComPort::WindowStep(TComEvent event, std::chrono::steady_clock::time_point woken_at) {
  if (connected_) RunEventStep(event, woken_at);
}

}  // namespace serial
