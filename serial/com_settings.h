// The port's setting groups: parity, flow control, timeouts and queue sizes.
// Each is owned by a port and points back to it; changing a field to a new
// value stores it and has the port apply that group to the open device.
// Standalone objects (ComPort null) only store, which is how a whole group is
// prepared and then given to the port at once (TCustomComPort::SetParity ...).
#pragma once

#include "serial/com_types.h"

#include <cstdint>

namespace serial {

class TCustomComPort;

class TComParity {
 public:
  TCustomComPort* ComPort = nullptr;

  TParityBits Bits() const { return bits_; }
  void SetBits(TParityBits value);
  bool Check() const { return check_; }
  void SetCheck(bool value);
  // Bytes with a parity error become ReplaceChar (only while Check is true).
  bool Replace() const { return replace_; }
  void SetReplace(bool value);
  char ReplaceChar() const { return replace_char_; }
  void SetReplaceChar(char value);

 private:
  void Changed();
  TParityBits bits_ = prNone;
  bool check_ = false;
  bool replace_ = false;
  char replace_char_ = 0;
};

class TComFlowControl {
 public:
  TCustomComPort* ComPort = nullptr;

  bool OutCTSFlow() const { return out_cts_flow_; }
  void SetOutCTSFlow(bool value);
  bool OutDSRFlow() const { return out_dsr_flow_; }
  void SetOutDSRFlow(bool value);
  TDTRFlowControl ControlDTR() const { return control_dtr_; }
  void SetControlDTR(TDTRFlowControl value);
  TRTSFlowControl ControlRTS() const { return control_rts_; }
  void SetControlRTS(TRTSFlowControl value);
  bool XonXoffOut() const { return xon_xoff_out_; }
  void SetXonXoffOut(bool value);
  bool XonXoffIn() const { return xon_xoff_in_; }
  void SetXonXoffIn(bool value);
  bool DSRSensitivity() const { return dsr_sensitivity_; }
  void SetDSRSensitivity(bool value);
  bool TxContinueOnXoff() const { return tx_continue_on_xoff_; }
  void SetTxContinueOnXoff(bool value);
  char XonChar() const { return xon_char_; }
  void SetXonChar(char value);
  char XoffChar() const { return xoff_char_; }
  void SetXoffChar(char value);

  // Computed from ControlRTS, OutCTSFlow and the XON/XOFF flags; writing a
  // named scheme sets those four fields (fcCustom keeps them) and applies the
  // line settings once, whatever was written.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl value);

 private:
  void Changed();
  bool out_cts_flow_ = false;
  bool out_dsr_flow_ = false;
  TDTRFlowControl control_dtr_ = dtrDisable;
  TRTSFlowControl control_rts_ = rtsDisable;
  bool xon_xoff_out_ = false;
  bool xon_xoff_in_ = false;
  bool dsr_sensitivity_ = false;
  bool tx_continue_on_xoff_ = false;
  char xon_char_ = 17;
  char xoff_char_ = 19;
};

// Milliseconds, in the order of the device's timeout record. ReadInterval -1
// with both read totals 0 makes a read return at once with what has arrived.
class TComTimeouts {
 public:
  TCustomComPort* ComPort = nullptr;

  int32_t ReadInterval() const { return read_interval_; }
  void SetReadInterval(int32_t value);
  int32_t ReadTotalMultiplier() const { return read_total_multiplier_; }
  void SetReadTotalMultiplier(int32_t value);
  int32_t ReadTotalConstant() const { return read_total_constant_; }
  void SetReadTotalConstant(int32_t value);
  int32_t WriteTotalMultiplier() const { return write_total_multiplier_; }
  void SetWriteTotalMultiplier(int32_t value);
  int32_t WriteTotalConstant() const { return write_total_constant_; }
  void SetWriteTotalConstant(int32_t value);

 private:
  void Set(int32_t& field, int32_t value);
  int32_t read_interval_ = -1;
  int32_t read_total_multiplier_ = 0;
  int32_t read_total_constant_ = 0;
  int32_t write_total_multiplier_ = 100;
  int32_t write_total_constant_ = 1000;
};

// Driver queue sizes in bytes. A write that differs from the stored size is
// stored (a positive odd size one less) and applied.
class TComBuffer {
 public:
  TCustomComPort* ComPort = nullptr;

  int32_t InputSize() const { return input_size_; }
  void SetInputSize(int32_t value);
  int32_t OutputSize() const { return output_size_; }
  void SetOutputSize(int32_t value);

 private:
  void Set(int32_t& field, int32_t value);
  int32_t input_size_ = 1024;
  int32_t output_size_ = 1024;
};

// Copies every stored field of `from` into `to`, keeping the port `to`
// belongs to and applying nothing: how a port takes a whole group at once.
template <typename Group>
void CopyStoredFields(Group& to, const Group& from) {
  TCustomComPort* const port = to.ComPort;
  to = from;
  to.ComPort = port;
}

}  // namespace serial
