// TComLink: what a control registers with a port (AttachLink) to follow it,
// one handler per link signal. The port calls the slots that are set, in the
// order links were attached, and never owns a link.
#pragma once

#include <functional>

namespace serial {

class TCustomComPort;

struct TComLink {
  using SignalHandler = std::function<void(TCustomComPort* sender, bool on_off)>;
  using BufferHandler = std::function<void(TCustomComPort* sender, const char* buffer, int count)>;
  using NotifyHandler = std::function<void(TCustomComPort* sender)>;

  SignalHandler OnConn;        // leConn: the port opened (true) or closed (false)
  BufferHandler OnRxBuf;       // bytes the port read for its links; makes HasLink true
  BufferHandler OnTxBuf;       // bytes a finished write sent
  NotifyHandler OnTxEmpty;     // leTxEmpty
  NotifyHandler OnRxFlag;      // leRxFlag
  SignalHandler OnCTSChange;   // leCTS
  SignalHandler OnDSRChange;   // leDSR
  SignalHandler OnRLSDChange;  // leRLSD
  NotifyHandler OnRing;        // leRing
  SignalHandler OnTx;          // leTx: a write started (true) / the output queue emptied (false)
  SignalHandler OnRx;          // leRx: bytes arrived (true) / the input queue was read empty (false)
};

}  // namespace serial
