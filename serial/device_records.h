// Translation between the port's settings and sets and the device's records
// and bit values: the line-state record, the timeout record, line-error bits,
// modem-line bits and event-mask bits. Pure functions.
#pragma once

#include "serial/com_types.h"
#include "serial/serial_device.h"

#include <array>
#include <cstdint>

namespace serial {

class TCustomComPort;
class TComTimeouts;

// Bits per second for a rate (`custom` for brCustom).
uint32_t BaudRateValue(TBaudRate rate, int32_t custom);

// The line-state record for the port's current settings.
Dcb BuildDcb(const TCustomComPort& port);
constexpr uint32_t kDcbLength = 28;

CommTimeouts BuildCommTimeouts(const TComTimeouts& timeouts);

// A parity error counts only when the port checks parity.
TComErrors LineErrorsToSet(uint32_t line_errors, bool parity_check);
TComSignals ModemLinesToSet(uint32_t modem_lines);

// Conversions between event sets and device masks; bits outside the event
// table are ignored both ways.
uint32_t EventsToMask(TComEvents events);
TComEvents MaskToEvents(uint32_t mask);

// The order in which the events of one wake-up are handled.
constexpr std::array<TComEvent, 10> kDispatchOrder = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                                      evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

}  // namespace serial
