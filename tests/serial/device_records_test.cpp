// Settings logic: the line-state record, queue rounding, the computed flow
// control scheme, and the bit translations.
#include "serial/device_records.h"

#include "serial/com_port.h"
#include "support/fake_serial_device.h"

#include <gtest/gtest.h>

using namespace serial;

namespace {

struct LineSettings : ::testing::Test {
  FakeSerialLine line;
  TComPort port{line};
};

TEST_F(LineSettings, MainWindowConfigurationGives4800_8N1WithoutFlowControl) {
  port.SetBaudRate(br4800);
  port.Open();
  const Dcb dcb = line.LastDcb();
  EXPECT_EQ(dcb.DCBlength, 28u);
  EXPECT_EQ(dcb.BaudRate, 4800u);
  EXPECT_EQ(dcb.Flags, 0x0001u);
  EXPECT_EQ(dcb.XonLim, 256);
  EXPECT_EQ(dcb.XoffLim, 256);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, 0);
  EXPECT_EQ(dcb.StopBits, 0);
  EXPECT_EQ(dcb.XonChar, 17);
  EXPECT_EQ(dcb.XoffChar, 19);
  EXPECT_EQ(dcb.EvtChar, 0);
  EXPECT_EQ(dcb.ErrorChar, 0);
  const CommTimeouts t = line.LastTimeouts();
  EXPECT_EQ(t.ReadInterval, -1);
  EXPECT_EQ(t.ReadTotalMultiplier, 0);
  EXPECT_EQ(t.ReadTotalConstant, 0);
  EXPECT_EQ(t.WriteTotalMultiplier, 100);
  EXPECT_EQ(t.WriteTotalConstant, 1000);
  EXPECT_EQ(line.CountCalls("setup_queues 1024 1024"), 1);
}

TEST_F(LineSettings, EveryOptionSetsItsFlagAndField) {
  port.SetDataBits(dbSeven);
  port.SetStopBits(sbTwoStopBits);
  port.SetDiscardNull(true);
  port.SetEventChar('\n');
  port.Parity().SetBits(prEven);
  port.Parity().SetCheck(true);
  port.Parity().SetReplace(true);
  port.Parity().SetReplaceChar('?');
  port.FlowControl().SetFlowControl(fcHardware);
  port.FlowControl().SetControlDTR(dtrEnable);
  Dcb dcb = BuildDcb(port);
  EXPECT_EQ(dcb.Flags, 0x0001u | 0x0800 | 0x0004 | 0x0010 | 0x2000 | 0x0002 | 0x0400);
  EXPECT_EQ(dcb.ByteSize, 7);
  EXPECT_EQ(dcb.StopBits, 2);
  EXPECT_EQ(dcb.Parity, 2);
  EXPECT_EQ(dcb.EvtChar, '\n');
  EXPECT_EQ(dcb.ErrorChar, '?');

  port.FlowControl().SetFlowControl(fcSoftware);
  port.FlowControl().SetOutDSRFlow(true);
  port.FlowControl().SetDSRSensitivity(true);
  port.FlowControl().SetTxContinueOnXoff(true);
  port.FlowControl().SetControlDTR(dtrHandshake);
  port.FlowControl().SetXonChar('A');
  port.FlowControl().SetXoffChar('B');
  port.Parity().SetCheck(false);  // replacement needs checking
  dcb = BuildDcb(port);
  EXPECT_EQ(dcb.Flags, 0x0001u | 0x0800 | 0x0300 | 0x0008 | 0x0040 | 0x0080 | 0x0020);
  EXPECT_EQ(dcb.ErrorChar, 0);
  EXPECT_EQ(dcb.XonChar, 'A');
  EXPECT_EQ(dcb.XoffChar, 'B');

  port.FlowControl().SetControlRTS(rtsToggle);
  EXPECT_EQ(BuildDcb(port).Flags & DcbFlag::RtsControlMask, 0x3000u);
}

TEST_F(LineSettings, CustomRateIsUsedOnlyWithBrCustom) {
  port.SetCustomBaudRate(31250);
  EXPECT_EQ(BuildDcb(port).BaudRate, 9600u);
  port.SetBaudRate(brCustom);
  port.Open();
  EXPECT_EQ(line.LastDcb().BaudRate, 31250u);
  EXPECT_EQ(BaudRateValue(br256000, 0), 256000u);
  EXPECT_EQ(BaudRateValue(br110, 0), 110u);
}

TEST_F(LineSettings, OddPositiveQueueSizesRoundDownAndSetTheFlowLimits) {
  port.Buffer().SetInputSize(1025);
  EXPECT_EQ(port.Buffer().InputSize(), 1024);
  EXPECT_EQ(BuildDcb(port).XonLim, 256);
  port.Buffer().SetInputSize(4097);
  EXPECT_EQ(port.Buffer().InputSize(), 4096);
  EXPECT_EQ(BuildDcb(port).XoffLim, 1024);
  port.Buffer().SetOutputSize(-3);
  EXPECT_EQ(port.Buffer().OutputSize(), -3);
  port.Buffer().SetOutputSize(0);
  EXPECT_EQ(port.Buffer().OutputSize(), 0);
  port.Buffer().SetInputSize(7);
  EXPECT_EQ(BuildDcb(port).XonLim, 1);  // 6 / 4, toward zero

  TComBuffer odd;
  odd.SetInputSize(333);
  EXPECT_EQ(odd.InputSize(), 332);
}

TEST(FlowControlScheme, IsComputedFromRtsCtsAndXonXoff) {
  TComFlowControl f;
  EXPECT_EQ(f.FlowControl(), fcNone);
  f.SetFlowControl(fcHardware);
  EXPECT_EQ(f.FlowControl(), fcHardware);
  EXPECT_EQ(f.ControlRTS(), rtsHandshake);
  EXPECT_TRUE(f.OutCTSFlow());
  f.SetOutDSRFlow(true);
  f.SetControlDTR(dtrHandshake);
  EXPECT_EQ(f.FlowControl(), fcHardware);
  f.SetXonXoffIn(true);
  EXPECT_EQ(f.FlowControl(), fcCustom);
  f.SetFlowControl(fcCustom);
  EXPECT_TRUE(f.XonXoffIn());
  f.SetFlowControl(fcSoftware);
  EXPECT_EQ(f.FlowControl(), fcSoftware);
  EXPECT_EQ(f.ControlRTS(), rtsDisable);
  EXPECT_FALSE(f.OutCTSFlow());
  f.SetFlowControl(fcNone);
  EXPECT_EQ(f.FlowControl(), fcNone);
  EXPECT_FALSE(f.XonXoffIn() || f.XonXoffOut());
  // What the scheme does not cover stays as it was.
  EXPECT_TRUE(f.OutDSRFlow());
  EXPECT_EQ(f.ControlDTR(), dtrHandshake);
  f.SetControlRTS(rtsEnable);
  EXPECT_EQ(f.FlowControl(), fcCustom);
}

TEST(DeviceBits, LineErrorsReportParityOnlyWhenChecked) {
  const uint32_t all = 0x0001 | 0x0002 | 0x0004 | 0x0008 | 0x0010 | 0x0100 | 0x0400 | 0x8000 | 0x0200;
  TComErrors unchecked = LineErrorsToSet(all, false);
  EXPECT_EQ(unchecked, (TComErrors{ceFrame, ceOverrun, ceRxOver, ceTxFull, ceBreak, ceIO, ceMode}));
  TComErrors checked = LineErrorsToSet(all, true);
  EXPECT_TRUE(checked.contains(ceRxParity));
  EXPECT_TRUE(LineErrorsToSet(LineError::RxParity, false).empty());
  EXPECT_EQ(ModemLinesToSet(0x10 | 0x80 | 0x01), (TComSignals{csCTS, csRLSD}));
  EXPECT_EQ(ModemLinesToSet(0x20 | 0x40), (TComSignals{csDSR, csRing}));
}

TEST(DeviceBits, EventMaskFollowsTheTableBothWays) {
  EXPECT_EQ(EventsToMask(TComEvents::from_bits(0x3FF)), 0x05FFu);
  EXPECT_EQ(EventsToMask({evRLSD}), 0x20u);
  EXPECT_EQ(EventsToMask({evRing, evError}), 0x180u);
  EXPECT_EQ(EventsToMask({evTxEmpty, evRxFlag}), 0x6u);
  EXPECT_EQ(MaskToEvents(0x0400 | 0x0200 | 0x0800 | 0x0001), (TComEvents{evRx80Full, evRxChar}));
  for (int i = 0; i < 10; ++i) {
    const auto e = static_cast<TComEvent>(i);
    EXPECT_EQ(MaskToEvents(EventsToMask({e})), TComEvents{e});
  }
}

}  // namespace
