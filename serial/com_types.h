// Enumerations and sets shared by the serial port component and its users.
// Ordinals are part of the contract (settings store selector indexes, the event
// mask maps bit n to ordinal n).
#pragma once

#include <cstdint>
#include <initializer_list>

namespace serial {

// A set of enumeration values, bit n standing for ordinal n.
template <typename E, typename Bits>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> values) {
    for (E v : values) insert(v);
  }
  static constexpr EnumSet from_bits(Bits b) {
    EnumSet s;
    s.bits_ = b;
    return s;
  }
  constexpr Bits bits() const { return bits_; }
  constexpr bool contains(E v) const { return (bits_ >> static_cast<int>(v)) & 1u; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr void insert(E v) { bits_ = static_cast<Bits>(bits_ | (Bits{1} << static_cast<int>(v))); }
  constexpr void erase(E v) { bits_ = static_cast<Bits>(bits_ & ~(Bits{1} << static_cast<int>(v))); }
  constexpr bool operator==(const EnumSet&) const = default;

 private:
  Bits bits_ = 0;
};

enum TBaudRate : uint8_t {
  brCustom,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};
enum TStopBits : uint8_t { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits : uint8_t { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits : uint8_t { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl : uint8_t { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : uint8_t { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl : uint8_t { fcHardware, fcSoftware, fcNone, fcCustom };
enum TComEvent : uint8_t { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full };
enum TComError : uint8_t { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
enum TComSignal : uint8_t { csCTS, csDSR, csRing, csRLSD };
enum TSyncMethod : uint8_t { smThreadSync, smWindowSync, smNone };
enum TStoredProp : uint8_t { spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers };
enum TComLinkEvent : uint8_t { leConn, leCTS, leDSR, leRLSD, leRing, leRx, leTx, leTxEmpty, leRxFlag };
// Scheduling level of the event thread, lowest first.
enum TThreadPriority : uint8_t { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TComEvents = EnumSet<TComEvent, uint16_t>;
using TComErrors = EnumSet<TComError, uint8_t>;
using TComSignals = EnumSet<TComSignal, uint8_t>;
using TStoredProps = EnumSet<TStoredProp, uint8_t>;

}  // namespace serial
