// Opening and closing: notification order, failures, destruction, and the
// event thread's life.
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial_test_support.h"
#include "support/fake_serial_device.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace serial;

namespace {

using Entries = std::vector<std::string>;

int ThreadCount() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

TEST(ComPortLife, OpenAndCloseNotifyInOrder) {
  FakeSerialLine line;
  line.SetModemLines(ModemLine::Cts | ModemLine::Rlsd);
  TComPort port(line);
  NotificationJournal journal;
  journal.Watch(port);
  port.SetConnected(true);
  EXPECT_TRUE(port.Connected());
  EXPECT_TRUE(port.ThreadCreated());
  EXPECT_EQ(journal.entries, (Entries{"BeforeOpen", "link Conn 1", "AfterOpen", "link CTS 1", "CTS 1", "link DSR 0",
                                      "DSR 0", "link RLSD 1", "RLSD 1"}));
  const Entries opened = line.Calls();
  ASSERT_GE(opened.size(), 4u);
  EXPECT_EQ(Entries(opened.begin(), opened.begin() + 4),
            (Entries{"setup_queues 1024 1024", "set_state", "set_timeouts", "set_event_mask 0x5ff"}));

  journal.entries.clear();
  line.ClearCalls();
  port.SetConnected(true);  // already open: nothing
  EXPECT_TRUE(journal.entries.empty());
  port.SetConnected(false);
  EXPECT_EQ(journal.entries, (Entries{"link CTS 0", "link DSR 0", "link RLSD 0", "CTS 0", "DSR 0", "RLSD 0",
                                      "BeforeClose", "link Conn 0", "AfterClose"}));
  // Transfers are aborted first; the thread's closing steps stop waiting and
  // discard both queues.
  EXPECT_EQ(line.Calls(), (Entries{"purge 3", "set_event_mask 0x0", "purge 12"}));
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.ThreadCreated());
  EXPECT_FALSE(line.IsOpen());
  journal.entries.clear();
  port.Close();
  EXPECT_TRUE(journal.entries.empty());
}

TEST(ComPortLife, AnUnopenableDeviceRaisesCode1AfterOnlyBeforeOpen) {
  FakeSerialLine line;
  line.SetOpenError(ENOENT);
  TComPort port(line);
  NotificationJournal journal;
  journal.Watch(port);
  const EComPort e = Raised([&] { port.Open(); });
  EXPECT_EQ(e.ErrorCode(), 1);
  EXPECT_EQ(e.WinErrorCode(), ENOENT);
  EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  EXPECT_EQ(journal.entries, Entries{"BeforeOpen"});
  EXPECT_FALSE(port.Connected());
}

// The diagnostic log names the port and the system's reason, and only once
// its rules enable it.
TEST(ComPortLife, ARefusedPortIsLoggedWithItsReasonOnlyWhenAskedFor) {
  static std::vector<std::string> logged;
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext& at, const QString& text) {
        if (std::string_view(at.category) == "orvanta.serial") logged.push_back(text.toStdString());
      });
  FakeSerialLine line;
  line.SetOpenError(EBUSY);
  TComPort port(line);
  Raised([&] { port.Open(); });
  QLoggingCategory::setFilterRules("orvanta.*.debug=true");
  Raised([&] { port.Open(); });
  QLoggingCategory::setFilterRules("");
  qInstallMessageHandler(previous);
  EXPECT_EQ(logged, Entries{"port \"" + port.Port() + "\" not opened: " + std::strerror(EBUSY) + " (errno 16)"});
}

TEST(ComPortLife, AFailedApplyClosesTheDeviceAgainAndPassesTheFailureOn) {
  FakeSerialLine line;
  line.SetFailure(FakeOp::SetTimeouts, EINVAL);
  TComPort port(line);
  NotificationJournal journal;
  journal.Watch(port);
  const EComPort e = Raised([&] { port.Open(); });
  EXPECT_EQ(e.ErrorCode(), 8);
  EXPECT_EQ(e.WinErrorCode(), EINVAL);
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.ThreadCreated());
  EXPECT_FALSE(line.IsOpen());
  EXPECT_EQ(journal.entries, Entries{"BeforeOpen"});
  line.SetFailure(FakeOp::SetTimeouts, 0);
  port.Open();
  EXPECT_TRUE(port.Connected());
}

// With no descriptor left, the event thread cannot start: the port must not
// stay connected without anything listening to its device.
TEST(ComPortLife, AnEventThreadThatCannotStartClosesTheDeviceAgain) {
#ifdef __SANITIZE_ADDRESS__
  // The sanitizers' own checks need descriptors too, and fail without them:
  // this runs in the plain build (ORVANTA_SANITIZE=0 ./test).
  GTEST_SKIP() << "needs a build without sanitizers";
#endif
  FakeSerialLine line;
  TComPort port(line);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int lowest_free = dup(0);
  ASSERT_GE(lowest_free, 0);
  close(lowest_free);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(lowest_free);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  bool raised = false;
  try {
    port.Open();
  } catch (const std::exception&) {
    raised = true;
  }
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_TRUE(raised);
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(line.IsOpen());
  port.Open();
  EXPECT_TRUE(port.Connected());
  EXPECT_TRUE(port.ThreadCreated());
}

TEST(ComPortLife, ACloseThatCannotAbortTransfersLeavesThePortOpenAndRunning) {
  FakeSerialLine line;
  TComPort port(line);
  port.Open();
  line.SetFailure(FakeOp::Purge, EIO);
  EXPECT_EQ(Raised([&] { port.Close(); }).ErrorCode(), 5);
  EXPECT_TRUE(port.Connected());
  EXPECT_TRUE(port.ThreadCreated());
  EXPECT_TRUE(line.IsOpen());
  int count = 0;
  port.OnRxChar = [&](TCustomComPort*, int n) { count = n; };
  line.Feed("abc");
  EXPECT_TRUE(PumpUntil([&] { return count == 3; }));
  line.SetFailure(FakeOp::Purge, 0);
  port.Close();
  EXPECT_FALSE(line.IsOpen());
}

TEST(ComPortLife, LineErrorsOfOneSessionAreNotReportedInTheNext) {
  FakeSerialLine line;
  TComPort port(line);
  port.SetEvents({});
  port.Open();
  line.RaiseLineErrors(LineError::Frame, false);
  EXPECT_EQ(port.QueuedInput(), 0);  // takes the flag out of the device
  port.Close();
  port.Open();
  EXPECT_TRUE(port.TakeLineErrors().empty());
}

TEST(ComPortLife, NoEventsMeansNoThread) {
  FakeSerialLine line;
  TComPort port(line);
  port.SetEvents({});
  int calls = 0;
  port.OnRxChar = [&](TCustomComPort*, int) { ++calls; };
  port.Open();
  EXPECT_FALSE(port.ThreadCreated());
  EXPECT_EQ(line.CountCalls("set_event_mask"), 0);
  line.Feed("x");
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 0);
  port.Close();
  EXPECT_FALSE(line.IsOpen());
}

TEST(ComPortLife, DestructionClosesThenTellsListenersWhileLinksCanStillDetach) {
  FakeSerialLine line;
  Entries order;
  TComLink link;
  link.OnConn = [&](TCustomComPort*, bool on) { order.push_back(on ? "conn on" : "conn off"); };
  int dropped_listener_calls = 0;
  int dropped_key = 0, kept_key = 0;
  {
    TComPort port(line);
    port.AttachLink(&link);
    port.Open();
    port.AddRemovalListener(&dropped_key, [&] { ++dropped_listener_calls; });
    port.RemoveRemovalListener(&dropped_key);
    port.AddRemovalListener(&kept_key, [&, p = &port] {
      order.push_back(line.IsOpen() ? "told while open" : "told after close");
      p->DetachLink(&link);
      p->RemoveRemovalListener(&kept_key);
    });
  }
  EXPECT_EQ(order, (Entries{"conn on", "conn off", "told after close"}));
  EXPECT_EQ(dropped_listener_calls, 0);
}

TEST(ComPortLife, ManyOpenCloseCyclesLeaveNoThreadBehind) {
  FakeSerialLine line;
  TComPort port(line);
  const int before = ThreadCount();
  for (int i = 0; i < 1000; ++i) {
    port.Open();
    if (i % 100 == 0) line.Feed("$");
    port.Close();
  }
  EXPECT_EQ(ThreadCount(), before);
  EXPECT_FALSE(line.IsOpen());
}

}  // namespace
