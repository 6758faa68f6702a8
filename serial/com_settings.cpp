#include "serial/com_settings.h"

#include "serial/com_port.h"
#include "serial/store_if_changed.h"

namespace serial {

namespace {

// Queue sizes are kept even: a positive odd size is stored one less.
int32_t RoundedSize(int32_t value) { return (value > 0 && value % 2 != 0) ? value - 1 : value; }

}  // namespace

// --- TComParity ---

void TComParity::Changed() {
  if (ComPort) ComPort->ApplyLineSettings();
}
void TComParity::SetBits(TParityBits value) {
  if (StoreIfChanged(bits_, value)) Changed();
}
void TComParity::SetCheck(bool value) {
  if (StoreIfChanged(check_, value)) Changed();
}
void TComParity::SetReplace(bool value) {
  if (StoreIfChanged(replace_, value)) Changed();
}
void TComParity::SetReplaceChar(char value) {
  if (StoreIfChanged(replace_char_, value)) Changed();
}
// --- TComFlowControl ---

void TComFlowControl::Changed() {
  if (ComPort) ComPort->ApplyLineSettings();
}
void TComFlowControl::SetOutCTSFlow(bool value) {
  if (StoreIfChanged(out_cts_flow_, value)) Changed();
}
void TComFlowControl::SetOutDSRFlow(bool value) {
  if (StoreIfChanged(out_dsr_flow_, value)) Changed();
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
  if (StoreIfChanged(control_dtr_, value)) Changed();
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
  if (StoreIfChanged(control_rts_, value)) Changed();
}
void TComFlowControl::SetXonXoffOut(bool value) {
  if (StoreIfChanged(xon_xoff_out_, value)) Changed();
}
void TComFlowControl::SetXonXoffIn(bool value) {
  if (StoreIfChanged(xon_xoff_in_, value)) Changed();
}
void TComFlowControl::SetDSRSensitivity(bool value) {
  if (StoreIfChanged(dsr_sensitivity_, value)) Changed();
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
  if (StoreIfChanged(tx_continue_on_xoff_, value)) Changed();
}
void TComFlowControl::SetXonChar(char value) {
  if (StoreIfChanged(xon_char_, value)) Changed();
}
void TComFlowControl::SetXoffChar(char value) {
  if (StoreIfChanged(xoff_char_, value)) Changed();
}

TFlowControl TComFlowControl::FlowControl() const {
  if (control_rts_ == rtsHandshake && out_cts_flow_ && !xon_xoff_in_ && !xon_xoff_out_) return fcHardware;
  if (control_rts_ == rtsDisable && !out_cts_flow_ && xon_xoff_in_ && xon_xoff_out_) return fcSoftware;
  if (control_rts_ == rtsDisable && !out_cts_flow_ && !xon_xoff_in_ && !xon_xoff_out_) return fcNone;
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
  if (value != fcCustom) {
    control_rts_ = rtsDisable;
    out_cts_flow_ = false;
    xon_xoff_in_ = false;
    xon_xoff_out_ = false;
    if (value == fcHardware) {
      control_rts_ = rtsHandshake;
      out_cts_flow_ = true;
    } else if (value == fcSoftware) {
      xon_xoff_in_ = true;
      xon_xoff_out_ = true;
    }
  }
  Changed();
}

// --- TComTimeouts ---

void TComTimeouts::Set(int32_t& field, int32_t value) {
  if (StoreIfChanged(field, value) && ComPort) ComPort->ApplyTimeoutSettings();
}
void TComTimeouts::SetReadInterval(int32_t value) { Set(read_interval_, value); }
void TComTimeouts::SetReadTotalMultiplier(int32_t value) { Set(read_total_multiplier_, value); }
void TComTimeouts::SetReadTotalConstant(int32_t value) { Set(read_total_constant_, value); }
void TComTimeouts::SetWriteTotalMultiplier(int32_t value) { Set(write_total_multiplier_, value); }
void TComTimeouts::SetWriteTotalConstant(int32_t value) { Set(write_total_constant_, value); }

// --- TComBuffer ---

// The written value is what is compared: 1025 over a stored 1024 is a change
// (and stores 1024 again).
void TComBuffer::Set(int32_t& field, int32_t value) {
  if (value == field) return;
  field = RoundedSize(value);
  if (ComPort) ComPort->ApplyBufferSizes();
}
void TComBuffer::SetInputSize(int32_t value) { Set(input_size_, value); }
void TComBuffer::SetOutputSize(int32_t value) { Set(output_size_, value); }

}  // namespace serial
