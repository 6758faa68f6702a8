// Reads, writes, started transfers, line control, queries and the event
// wait without a thread.
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/wake_signal.h"
#include "serial_test_support.h"
#include "support/fake_serial_device.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace serial;

namespace {

using Entries = std::vector<std::string>;

struct Transfers : PortOnFakeLine {
  void SetUp() override { Open({}); }
};

TEST_F(Transfers, ReadTextReturnsWhatIsQueuedAndSizesTheText) {
  std::string text = "previous";
  EXPECT_EQ(port.ReadText(text, 0), 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(line.CountCalls("read"), 0);
  line.Feed("$GPRMC,1");
  EXPECT_EQ(port.ReadText(text, 6), 6);
  EXPECT_EQ(text, "$GPRMC");
  EXPECT_EQ(port.ReadText(text, 10), 2);
  EXPECT_EQ(text, ",1");
  EXPECT_EQ(port.ReadText(text, 10), 0);
  EXPECT_EQ(text, "");
  // Reading the queue empty tells the links the receive line went quiet.
  EXPECT_EQ(journal.entries, (Entries{"link Rx 0", "link Rx 0"}));
}

TEST_F(Transfers, WritesSendTheBytesAndTellTheLinks) {
  std::string copy;
  journal.link.OnTxBuf = [&](TCustomComPort*, const char* buffer, int count) { copy.assign(buffer, count); };
  EXPECT_EQ(port.WriteText(""), 0);
  EXPECT_EQ(line.CountCalls("write"), 0);
  EXPECT_EQ(port.WriteText("hello"), 5);
  const char raw[] = {'\x00', '\xff'};
  EXPECT_EQ(port.WriteBytes(raw, 2), 2);
  EXPECT_EQ(line.Written(), std::string("hello\x00\xff", 7));
  EXPECT_EQ(copy, std::string("\x00\xff", 2));
  EXPECT_EQ(journal.entries, (Entries{"link Tx 1", "link Tx 1"}));

  // A write cut short reports, and shows the links, only what went out.
  line.SetWriteRoom(3);
  EXPECT_EQ(port.WriteText("$GPRMC"), 3);
  EXPECT_EQ(copy, "$GP");
}

TEST_F(Transfers, LinksHearOfAWriteAsItStartsNotOnceItEnded) {
  std::vector<std::string> sent_when_told;
  journal.link.OnTx = [&](TCustomComPort*, bool on) {
    if (on) sent_when_told.push_back(line.Written());
  };
  port.WriteText("hello");
  TPendingOp op;
  line.HoldWrites(true);
  port.StartWriteText("later", &op);
  line.HoldWrites(false);
  port.WaitForCompletion(&op);
  EXPECT_EQ(sent_when_told, (Entries{"", "hello"}));
}

TEST_F(Transfers, FailedTransfersRaiseTheirCodesAndLeaveThePortOpen) {
  line.SetFailure(FakeOp::Read, EIO);
  std::string text;
  EComPort e = Raised([&] { port.ReadText(text, 4); });
  EXPECT_EQ(e.ErrorCode(), 3);
  EXPECT_STREQ(e.what(), "ReadFile function failed (win error code: 5)");
  line.SetFailure(FakeOp::Write, EAGAIN);
  EXPECT_EQ(Raised([&] { port.WriteText("x"); }).ErrorCode(), 2);
  TPendingOp op;
  e = Raised([&] { port.StartWriteText("never", &op); });
  EXPECT_EQ(e.ErrorCode(), 2);
  EXPECT_EQ(e.WinErrorCode(), EAGAIN);
  EXPECT_TRUE(port.Connected());
}

// A lamp that follows the transmit line lights when a write starts and goes
// out when the output queue runs empty, which a write that never started
// never brings.
TEST_F(Transfers, OnlyAWriteThatStartedTellsTheLinks) {
  line.SetFailure(FakeOp::Write, EIO);
  TPendingOp op;
  Raised([&] { port.WriteText("x"); });
  Raised([&] { port.StartWriteText("x", &op); });
  EXPECT_EQ(journal.entries, Entries{});

  line.SetFailure(FakeOp::Write, 0);
  line.SetWriteFailureUnderWay(EIO);
  EXPECT_EQ(Raised([&] { port.WriteText("x"); }).ErrorCode(), 2);
  EXPECT_EQ(port.StartWriteText("later", &op), 0);
  EXPECT_EQ(journal.entries, (Entries{"link Tx 1", "link Tx 1"}));
}

TEST_F(Transfers, AFinishedTransferThatFailedHasNoStatusToGive) {
  line.SetWriteFailureUnderWay(EIO);
  TPendingOp op;
  port.StartWriteText("later", &op);
  int code = 0;
  ASSERT_TRUE(WaitUntil([&] {
    try {
      return port.IsCompleted(&op);
    } catch (const EComPort& e) {
      code = e.ErrorCode();
      return true;
    }
  }));
  EXPECT_EQ(code, 6);
  EXPECT_EQ(Raised([&] { port.IsCompleted(&op); }).WinErrorCode(), EIO);
  EXPECT_EQ(Raised([&] { port.WaitForCompletion(&op); }).ErrorCode(), 2);
}

TEST_F(Transfers, EveryTransferRefusesAMissingRecord) {
  char buffer[4];
  std::string text;
  for (const std::function<void()>& action : std::vector<std::function<void()>>{
           [&] { port.StartRead(buffer, 4, nullptr); },
           [&] { port.StartReadText(text, 4, nullptr); },
           [&] { port.StartWrite("ab", 2, nullptr); },
           [&] { port.StartWriteText("ab", nullptr); },
           [&] { port.WaitForCompletion(nullptr); },
           [&] { port.IsCompleted(nullptr); },
       }) {
    EComPort e = Raised(action);
    EXPECT_EQ(e.ErrorCode(), 4);
    EXPECT_STREQ(e.what(), "Invalid Async parameter");
  }
  TPendingOp never_started;
  EXPECT_EQ(Raised([&] { port.IsCompleted(&never_started); }).ErrorCode(), 6);
}

TEST_F(Transfers, AStartedReadRunsWhileTheCallerGoesOn) {
  // With a read total time the read waits for all the bytes it asked for.
  port.Timeouts().SetReadInterval(0);
  port.Timeouts().SetReadTotalConstant(10000);
  std::string text;
  TPendingOp op;
  EXPECT_EQ(port.StartReadText(text, 5, &op), 0);
  EXPECT_EQ(op.Kind(), okRead);
  EXPECT_FALSE(port.IsCompleted(&op));
  line.Feed("12345");
  ASSERT_TRUE(PumpUntil([&] { return port.IsCompleted(&op); }));
  EXPECT_EQ(port.WaitForCompletion(&op), 5);
  EXPECT_EQ(text, "12345");
}

TEST_F(Transfers, AbortingEndsAStartedReadWithWhatItHad) {
  port.Timeouts().SetReadInterval(0);
  char buffer[8] = {};
  TPendingOp op;
  port.StartRead(buffer, 8, &op);
  line.Feed("ab");
  port.AbortTransfers();
  EXPECT_EQ(port.WaitForCompletion(&op), 2);
  EXPECT_EQ(std::string(buffer, 2), "ab");
}

TEST_F(Transfers, ClosingEndsAStartedRead) {
  port.Timeouts().SetReadInterval(0);
  char buffer[8] = {};
  TPendingOp op;
  port.StartRead(buffer, 8, &op);
  port.Close();
  EXPECT_EQ(port.WaitForCompletion(&op), 0);
  EXPECT_FALSE(line.IsOpen());
}

TEST_F(Transfers, AStartedWriteKeepsItsOwnCopy) {
  TPendingOp op;
  {
    std::string data = "volatile";
    port.StartWriteText(data, &op);
    data.assign("XXXXXXXX");
  }
  EXPECT_EQ(port.WaitForCompletion(&op), 8);
  EXPECT_EQ(op.Kind(), okWrite);
  EXPECT_EQ(op.Data(), "volatile");
  EXPECT_EQ(line.Written(), "volatile");
}

TEST_F(Transfers, ARecordInUseIsReusedOnlyOnceItsTransferEnded) {
  auto release_later = [&] {
    return std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      line.HoldWrites(false);
    });
  };
  TPendingOp op;
  line.HoldWrites(true);
  port.StartWriteText("first", &op);
  std::thread release = release_later();
  port.StartWriteText("again", &op);  // the running write still reads its copy
  EXPECT_EQ(port.WaitForCompletion(&op), 5);
  release.join();
  EXPECT_EQ(line.Written(), "firstagain");

  line.HoldWrites(true);
  port.StartWriteText("third", &op);
  release = release_later();
  char buffer[4];
  port.StartRead(buffer, 4, &op);
  EXPECT_EQ(port.WaitForCompletion(&op), 0);
  release.join();
  EXPECT_EQ(line.Written(), "firstagainthird");
}

TEST_F(Transfers, LineControlSendsOneEscapeEach) {
  port.SetDTRLine(true);
  port.SetDTRLine(false);
  port.SetRTSLine(true);
  port.SetRTSLine(false);
  port.SetFlowState(false);
  port.SetFlowState(true);
  port.SetBreakState(true);
  port.SetBreakState(false);
  port.SendCharNow('A');
  port.ClearQueues(true, false);
  port.ClearQueues(false, true);
  port.ClearQueues(true, true);
  EXPECT_EQ(line.Calls(), (Entries{"escape 5", "escape 6", "escape 3", "escape 4", "escape 1", "escape 2", "escape 8",
                                   "escape 9", "transmit_char 65", "purge 8", "purge 4", "purge 12"}));
  line.SetFailure(FakeOp::Escape, EIO);
  EXPECT_EQ(Raised([&] { port.SetBreakState(true); }).ErrorCode(), 12);
  line.SetFailure(FakeOp::TransmitChar, EIO);
  EXPECT_EQ(Raised([&] { port.SendCharNow('x'); }).ErrorCode(), 13);
  line.SetFailure(FakeOp::Purge, EIO);
  EXPECT_EQ(Raised([&] { port.ClearQueues(true, true); }).ErrorCode(), 5);
}

TEST_F(Transfers, QueriesReportTheDeviceAndTheirFailures) {
  line.Feed("abc");
  line.SetOutputQueue(7);
  line.SetModemLines(ModemLine::Dsr | ModemLine::Ring);
  EXPECT_EQ(port.QueuedInput(), 3);
  EXPECT_EQ(port.QueuedOutput(), 7);
  EXPECT_EQ(port.ReadModemSignals(), (TComSignals{csDSR, csRing}));
  line.SetFailure(FakeOp::ClearError, EIO);
  EXPECT_EQ(Raised([&] { port.QueuedInput(); }).ErrorCode(), 10);
  EXPECT_EQ(Raised([&] { port.TakeLineErrors(); }).ErrorCode(), 10);
  line.SetFailure(FakeOp::ModemStatus, ENODEV);
  EComPort e = Raised([&] { port.ReadModemSignals(); });
  EXPECT_EQ(e.ErrorCode(), 11);
  EXPECT_EQ(e.WinErrorCode(), ENODEV);
}

TEST_F(Transfers, AClosedPortFailsEachOperationWithItsOwnCode) {
  port.Close();
  std::string text;
  EXPECT_EQ(Raised([&] { port.ReadText(text, 3); }).ErrorCode(), 3);
  EXPECT_EQ(Raised([&] { port.WriteText("a"); }).ErrorCode(), 2);
  EXPECT_EQ(Raised([&] { port.QueuedInput(); }).ErrorCode(), 10);
  EComPort e = Raised([&] { port.SetDTRLine(true); });
  EXPECT_EQ(e.ErrorCode(), 12);
  EXPECT_EQ(e.WinErrorCode(), EBADF);
}

TEST_F(Transfers, WaitForEventReportsTheEventsOrTimesOut) {
  TComEvents events{evRxChar, evCTS};
  std::thread feeder([&] {
    line.WaitUntilWaiting();
    line.Feed("x");
  });
  port.WaitForEvent(events, nullptr, 5000);
  feeder.join();
  EXPECT_EQ(events, TComEvents{evRxChar});
  EXPECT_EQ(line.EventMask(), 0u);

  events = {evBreak};
  port.WaitForEvent(events, nullptr, 10);
  EXPECT_TRUE(events.empty());

  WakeSignal wake;
  events = {evRing};
  std::thread waker([&] {
    line.WaitUntilWaiting();
    wake.Set();
  });
  port.WaitForEvent(events, &wake, -1);
  waker.join();
  EXPECT_TRUE(events.empty());

  line.Vanish();
  EXPECT_EQ(Raised([&] { port.WaitForEvent(events, nullptr, 10); }).ErrorCode(), 21);
}

TEST(WaitForEvent, IsRefusedWhileTheEventThreadRuns) {
  FakeSerialLine line;
  TComPort port(line);
  port.Open();
  TComEvents events{evRxChar};
  EComPort e = Raised([&] { port.WaitForEvent(events, nullptr, 10); });
  EXPECT_EQ(e.ErrorCode(), 20);
  EXPECT_STREQ(e.what(), "Cannot wait for event if event thread is created");
}

}  // namespace
