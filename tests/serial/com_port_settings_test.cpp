// What writing a setting does to an open port, deferred updates, whole-group
// assignment and loading.
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial_test_support.h"
#include "support/fake_serial_device.h"
#include "support/reported_exceptions.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace serial;

namespace {

struct OpenPort : PortOnFakeLine {
  void SetUp() override { Open({}); }
};

TEST_F(OpenPort, ANewValueIsAppliedToItsGroupOnlyAndTheSameValueDoesNothing) {
  port.SetBaudRate(br9600);
  port.Parity().SetBits(prNone);
  port.FlowControl().SetXonChar(17);
  port.Timeouts().SetReadInterval(-1);
  port.Buffer().SetInputSize(1024);
  port.SetEventChar(0);
  EXPECT_TRUE(line.Calls().empty());

  port.SetBaudRate(br19200);
  EXPECT_EQ(line.Calls(), std::vector<std::string>{"set_state"});
  EXPECT_EQ(line.LastDcb().BaudRate, 19200u);
  port.Timeouts().SetWriteTotalConstant(50);
  EXPECT_EQ(line.LastTimeouts().WriteTotalConstant, 50);
  port.Buffer().SetOutputSize(2048);
  port.Parity().SetCheck(true);
  port.FlowControl().SetFlowControl(fcCustom);  // applies even when nothing changes
  EXPECT_EQ(line.Calls(), (std::vector<std::string>{"set_state", "set_timeouts", "setup_queues 1024 2048", "set_state",
                                                    "set_state"}));
  port.SetEvents({evRxChar});  // only at the next open
  EXPECT_EQ(line.Calls().size(), 5u);
}

TEST_F(OpenPort, AQueueSizeIsComparedAsWrittenAndStoredEven) {
  port.Buffer().SetInputSize(1025);
  EXPECT_EQ(port.Buffer().InputSize(), 1024);
  EXPECT_EQ(line.Calls(), std::vector<std::string>{"setup_queues 1024 1024"});
  port.Buffer().SetOutputSize(1024);
  EXPECT_EQ(line.Calls().size(), 1u);
}

TEST_F(OpenPort, AFailedApplyKeepsTheNewValueAndReachesTheWriter) {
  line.SetFailure(FakeOp::SetState, EINVAL);
  EXPECT_EQ(Raised([&] { port.SetDataBits(dbSeven); }).ErrorCode(), 7);
  EXPECT_EQ(port.DataBits(), dbSeven);
  EXPECT_TRUE(port.Connected());
  line.SetFailure(FakeOp::SetTimeouts, EIO);
  EXPECT_EQ(Raised([&] { port.Timeouts().SetReadTotalConstant(5); }).ErrorCode(), 8);
  line.SetFailure(FakeOp::SetupQueues, EIO);
  EXPECT_EQ(Raised([&] { port.Buffer().SetInputSize(64); }).ErrorCode(), 9);
}

TEST_F(OpenPort, PortNameIsComparedExactly) {
  port.SetPort("COM1");
  EXPECT_EQ(line.OpenCount(), 1);
  EXPECT_TRUE(journal.entries.empty());
  port.SetPort("com1");
  EXPECT_EQ(line.OpenCount(), 2);
  EXPECT_EQ(line.LastOpenedName(), "com1");
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(journal.entries.front(), "link CTS 0");
  EXPECT_NE(std::find(journal.entries.begin(), journal.entries.end(), "AfterClose"), journal.entries.end());
  EXPECT_EQ(journal.entries.back(), "RLSD 0");
}

TEST_F(OpenPort, ThreadSettingsAreRefusedWhileOpen) {
  EXPECT_EQ(Raised([&] { port.SetSyncMethod(smNone); }).ErrorCode(), 14);
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
  EXPECT_EQ(Raised([&] { port.SetEventThreadPriority(tpHigher); }).ErrorCode(), 14);
  EXPECT_EQ(port.EventThreadPriority(), tpNormal);
  EXPECT_NO_THROW(port.SetSyncMethod(smThreadSync));
  port.Close();
  port.SetSyncMethod(smWindowSync);
  port.SetEventThreadPriority(tpLower);
  EXPECT_EQ(port.SyncMethod(), smWindowSync);
  EXPECT_EQ(port.EventThreadPriority(), tpLower);
}

TEST(ComPortSettings, TriggersOnRxCharIsRefusedOnEveryWriteWhileALinkTakesBuffers) {
  FakeSerialLine line;
  TComPort port(line);
  TComLink plain, buffered;
  buffered.OnRxBuf = [](TCustomComPort*, const char*, int) {};
  port.AttachLink(&plain);
  EXPECT_FALSE(port.HasLink());
  port.SetTriggersOnRxChar(false);
  port.AttachLink(&buffered);
  EXPECT_TRUE(port.HasLink());
  EXPECT_EQ(Raised([&] { port.SetTriggersOnRxChar(false); }).ErrorCode(), 22);
  EXPECT_EQ(Raised([&] { port.SetTriggersOnRxChar(true); }).ErrorCode(), 22);
  EXPECT_FALSE(port.TriggersOnRxChar());
  EXPECT_EQ(Raised([&] { port.AttachLink(&buffered); }).ErrorCode(), 18);
  port.DetachLink(&buffered);
  EXPECT_FALSE(port.HasLink());
  EXPECT_EQ(Raised([&] { port.DetachLink(&buffered); }).ErrorCode(), 18);
  port.SetTriggersOnRxChar(true);
  EXPECT_TRUE(port.TriggersOnRxChar());
}

TEST_F(OpenPort, UpdatesAreDeferredToTheOutermostEndUpdate) {
  port.EndUpdate();  // unmatched: nothing
  EXPECT_TRUE(line.Calls().empty());
  port.BeginUpdate();
  port.BeginUpdate();
  port.SetBaudRate(br115200);
  port.Timeouts().SetReadInterval(10);
  port.Buffer().SetInputSize(4096);
  port.EndUpdate();
  EXPECT_TRUE(line.Calls().empty());
  port.EndUpdate();
  EXPECT_EQ(line.Calls(), (std::vector<std::string>{"setup_queues 4096 1024", "set_state", "set_timeouts"}));
  EXPECT_EQ(line.LastDcb().BaudRate, 115200u);
  EXPECT_EQ(line.LastDcb().XonLim, 1024);
}

TEST_F(OpenPort, AWholeGroupIsCopiedAndAppliedOnce) {
  TComParity parity;
  parity.SetBits(prMark);
  parity.SetCheck(true);
  port.SetParity(parity);
  EXPECT_EQ(port.Parity().Bits(), prMark);
  EXPECT_TRUE(port.Parity().Check());
  EXPECT_EQ(port.Parity().ComPort, &port);  // the back-reference is not copied
  EXPECT_EQ(line.LastDcb().Parity, 3);

  TComFlowControl flow;
  flow.SetFlowControl(fcHardware);
  port.SetFlowControl(flow);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcHardware);
  TComTimeouts timeouts;
  timeouts.SetReadTotalConstant(250);
  port.SetTimeouts(timeouts);
  EXPECT_EQ(line.LastTimeouts().ReadTotalConstant, 250);
  TComBuffer sizes;
  sizes.SetInputSize(2048);
  sizes.SetOutputSize(512);
  port.SetBuffer(sizes);
  EXPECT_EQ(line.Calls(),
            (std::vector<std::string>{"set_state", "set_state", "set_timeouts", "setup_queues 2048 512"}));
}

TEST(ComPortLoading, WritesOnlyStoreAndLoadedOpensAPortMarkedConnected) {
  FakeSerialLine line;
  TComPort port(line);
  port.SetLoading(true);
  port.SetConnected(true);
  port.SetPort("ttyUSB0");
  port.SetBaudRate(br4800);
  port.SetSyncMethod(smNone);
  EXPECT_EQ(line.OpenCount(), 0);
  port.SetEvents({});
  port.Loaded();
  EXPECT_FALSE(port.Loading());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(line.LastOpenedName(), "ttyUSB0");
  EXPECT_EQ(line.LastDcb().BaudRate, 4800u);
}

TEST(ComPortLoading, AFailedOpenAtTheLoadedStepGoesToTheApplicationHandler) {
  FakeSerialLine line;
  line.SetOpenError(ENOENT);
  testing_support::ReportedExceptions reported;
  TComPort port(line);
  port.SetLoading(true);
  port.SetConnected(true);
  EXPECT_NO_THROW(port.Loaded());
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(reported.last_message(), "Unable to open com port (win error code: 2)");
}

}  // namespace
