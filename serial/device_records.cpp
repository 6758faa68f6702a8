#include "serial/device_records.h"

#include "serial/com_port.h"

namespace serial {

namespace {

constexpr uint32_t kRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                               14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

constexpr uint32_t kDtrBits[] = {0x0000, 0x0010, 0x0020};
constexpr uint32_t kRtsBits[] = {0x0000, 0x1000, 0x2000, 0x3000};

struct EventBitPair {
  TComEvent event;
  uint32_t bit;
};
constexpr EventBitPair kEventBits[] = {
    {evRxChar, EventBit::RxChar},     {evRxFlag, EventBit::RxFlag}, {evTxEmpty, EventBit::TxEmpty},
    {evCTS, EventBit::Cts},           {evDSR, EventBit::Dsr},       {evRLSD, EventBit::Rlsd},
    {evBreak, EventBit::Break},       {evError, EventBit::Error},   {evRing, EventBit::Ring},
    {evRx80Full, EventBit::Rx80Full},
};

}  // namespace

uint32_t BaudRateValue(TBaudRate rate, int32_t custom) {
  if (rate == brCustom) return static_cast<uint32_t>(custom);
  return kRates[rate];
}

Dcb BuildDcb(const TCustomComPort& port) {
  const TComFlowControl& flow = port.FlowControl();
  const TComParity& parity = port.Parity();
  Dcb dcb;
  dcb.DCBlength = kDcbLength;
  dcb.BaudRate = BaudRateValue(port.BaudRate(), port.CustomBaudRate());
  uint32_t flags = DcbFlag::Binary;
  if (port.DiscardNull()) flags |= DcbFlag::Null;
  if (flow.OutCTSFlow()) flags |= DcbFlag::OutxCtsFlow;
  if (flow.OutDSRFlow()) flags |= DcbFlag::OutxDsrFlow;
  flags |= kDtrBits[flow.ControlDTR()];
  flags |= kRtsBits[flow.ControlRTS()];
  if (flow.XonXoffOut()) flags |= DcbFlag::OutX;
  if (flow.XonXoffIn()) flags |= DcbFlag::InX;
  if (flow.DSRSensitivity()) flags |= DcbFlag::DsrSensitivity;
  if (flow.TxContinueOnXoff()) flags |= DcbFlag::TxContinueOnXoff;
  const bool replace = parity.Check() && parity.Replace();
  if (parity.Check()) flags |= DcbFlag::ParityCheck;
  if (replace) flags |= DcbFlag::ErrorChar;
  dcb.Flags = flags;
  const int32_t limit = port.Buffer().InputSize() / 4;
  dcb.XonLim = static_cast<uint16_t>(limit);
  dcb.XoffLim = static_cast<uint16_t>(limit);
  dcb.ByteSize = static_cast<uint8_t>(5 + port.DataBits());
  dcb.Parity = static_cast<uint8_t>(parity.Bits());
  dcb.StopBits = static_cast<uint8_t>(port.StopBits());
  dcb.XonChar = flow.XonChar();
  dcb.XoffChar = flow.XoffChar();
  dcb.EvtChar = port.EventChar();
  if (replace) dcb.ErrorChar = parity.ReplaceChar();
  return dcb;
}

CommTimeouts BuildCommTimeouts(const TComTimeouts& timeouts) {
  CommTimeouts t;
  t.ReadInterval = timeouts.ReadInterval();
  t.ReadTotalMultiplier = timeouts.ReadTotalMultiplier();
  t.ReadTotalConstant = timeouts.ReadTotalConstant();
  t.WriteTotalMultiplier = timeouts.WriteTotalMultiplier();
  t.WriteTotalConstant = timeouts.WriteTotalConstant();
  return t;
}

TComErrors LineErrorsToSet(uint32_t line_errors, bool parity_check) {
  TComErrors set;
  if (line_errors & LineError::Frame) set.insert(ceFrame);
  if ((line_errors & LineError::RxParity) && parity_check) set.insert(ceRxParity);
  if (line_errors & LineError::Overrun) set.insert(ceOverrun);
  if (line_errors & LineError::RxOver) set.insert(ceRxOver);
  if (line_errors & LineError::TxFull) set.insert(ceTxFull);
  if (line_errors & LineError::Break) set.insert(ceBreak);
  if (line_errors & LineError::IoError) set.insert(ceIO);
  if (line_errors & LineError::Mode) set.insert(ceMode);
  return set;
}

TComSignals ModemLinesToSet(uint32_t modem_lines) {
  TComSignals set;
  if (modem_lines & ModemLine::Cts) set.insert(csCTS);
  if (modem_lines & ModemLine::Dsr) set.insert(csDSR);
  if (modem_lines & ModemLine::Ring) set.insert(csRing);
  if (modem_lines & ModemLine::Rlsd) set.insert(csRLSD);
  return set;
}

uint32_t EventsToMask(TComEvents events) {
  uint32_t mask = 0;
  for (const EventBitPair& p : kEventBits)
    if (events.contains(p.event)) mask |= p.bit;
  return mask;
}

TComEvents MaskToEvents(uint32_t mask) {
  TComEvents events;
  for (const EventBitPair& p : kEventBits)
    if (mask & p.bit) events.insert(p.event);
  return events;
}

}  // namespace serial
