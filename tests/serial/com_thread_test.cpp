// Event delivery: what each wake-up runs, in which order, on which thread,
// and how the event thread ends.
#include "serial/com_port.h"
#include "serial_test_support.h"
#include "support/fake_serial_device.h"
#include "support/reported_exceptions.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>

using namespace serial;

namespace {

using Entries = std::vector<std::string>;

struct EventDelivery : PortOnFakeLine {
  void Open(TSyncMethod method = smThreadSync) { PortOnFakeLine::Open(port.Events(), method); }
  bool Logged(size_t n, int timeout_ms = 5000) {
    return PumpUntil([&] { return journal.entries.size() >= n; }, timeout_ms);
  }
  // The event thread has ended when its closing steps ran.
  bool ThreadEnded() {
    return PumpUntil([&] { return line.CountCalls("purge 12") > 0; });
  }
};

TEST_F(EventDelivery, ALineErrorIsReportedBeforeTheBytesThatCameWithIt) {
  Open();
  line.Feed("$GP", LineError::Frame | LineError::Overrun);
  ASSERT_TRUE(Logged(3));
  EXPECT_EQ(journal.entries, (Entries{"Error 0x5", "link Rx 1", "RxChar 3"}));
}

TEST_F(EventDelivery, EventsOfOneWakeUpRunInTheFixedOrder) {
  line.SetModemLines(ModemLine::Dsr);
  Open();
  line.RaiseLineErrors(0);  // the error event with no flag set
  line.RaiseEvents(0x05FF);
  ASSERT_TRUE(Logged(15));
  EXPECT_EQ(journal.entries,
            (Entries{"link Tx 0", "link TxEmpty", "TxEmpty", "Break", "link Ring", "Ring", "link CTS 0", "CTS 0",
                     "link DSR 1", "DSR 1", "link RxFlag", "RxFlag", "link RLSD 0", "RLSD 0", "Rx80Full"}));
}

TEST_F(EventDelivery, EmptyErrorAndEmptyQueueCallNothing) {
  Open();
  line.RaiseEvents(EventBit::Error | EventBit::RxChar);
  line.Feed("x");
  ASSERT_TRUE(Logged(2));
  EXPECT_EQ(journal.entries, (Entries{"link Rx 1", "RxChar 1"}));
}

TEST_F(EventDelivery, ParityErrorsCountOnlyWhenParityIsChecked) {
  Open();
  line.RaiseLineErrors(LineError::RxParity);
  line.RaiseLineErrors(LineError::Break);
  ASSERT_TRUE(Logged(1));
  EXPECT_EQ(journal.entries, Entries{"Error 0x8"});
  port.Parity().SetCheck(true);
  line.RaiseLineErrors(LineError::RxParity);
  ASSERT_TRUE(Logged(2));
  EXPECT_EQ(journal.entries.back(), "Error 0x2");
}

TEST_F(EventDelivery, UnreadBytesAreCountedAgainWithTheNextArrival) {
  std::string received;
  Open();
  port.OnRxChar = [&](TCustomComPort* sender, int count) {
    std::string part;
    sender->ReadText(part, count < 2 ? count : 2);
    received += part;
    journal.Add("RxChar " + std::to_string(count));
  };
  line.Feed("abcde");
  ASSERT_TRUE(Logged(2));  // no "link Rx 0": bytes remain
  line.Feed("f");
  ASSERT_TRUE(PumpUntil([&] { return received.size() == 4; }));
  EXPECT_EQ(received, "abcd");
  EXPECT_EQ(journal.entries, (Entries{"link Rx 1", "RxChar 5", "link Rx 1", "RxChar 4"}));
}

TEST_F(EventDelivery, AnErrorTakenByAQueueQueryIsReportedWithTheNextWakeUp) {
  Open();
  port.OnRxChar = [&](TCustomComPort* sender, int count) {
    journal.Add("RxChar " + std::to_string(count));
    // A flag raised while the handler runs, without an error event of its
    // own, is taken out of the device by the read's queue query.
    if (journal.entries.size() < 3) line.RaiseLineErrors(LineError::Frame, false);
    std::string text;
    sender->ReadText(text, count);
  };
  line.Feed("a");
  ASSERT_TRUE(Logged(3));
  line.Feed("b");
  ASSERT_TRUE(Logged(7));
  EXPECT_EQ(journal.entries,
            (Entries{"link Rx 1", "RxChar 1", "link Rx 0", "Error 0x1", "link Rx 1", "RxChar 1", "link Rx 0"}));
}

TEST_F(EventDelivery, AnExceptionInAHandlerStopsDeliveryUntilReopened) {
  Open();
  int calls = 0;
  port.OnRxChar = [&](TCustomComPort*, int) {
    ++calls;
    throw std::runtime_error("handler failed");
  };
  line.Feed("a");
  ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));
  // The thread ends without its closing steps; the port stays open.
  EXPECT_TRUE(PumpUntil([&] { return !line.Waiting(); }));
  line.Feed("b");
  EXPECT_FALSE(PumpUntil([&] { return calls > 1; }, 100));
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(line.CountCalls("purge 12"), 0);

  port.Close();
  EXPECT_FALSE(line.IsOpen());
  port.OnRxChar = [&](TCustomComPort*, int count) { calls = 10 + count; };
  port.Open();
  line.Feed("c");
  ASSERT_TRUE(PumpUntil([&] { return calls >= 10; }));
  EXPECT_EQ(calls, 13);  // "abc": nothing was discarded
}

TEST_F(EventDelivery, CloseServesAHandOverThatIsWaiting) {
  Open();
  bool open_inside = false;
  port.OnRxChar = [&](TCustomComPort* sender, int count) {
    open_inside = sender->Connected();
    journal.Add("RxChar " + std::to_string(count));
  };
  ASSERT_TRUE(line.WaitUntilWaiting());
  line.Feed("abc");
  // Do not run the event loop: the hand-over stays pending until Close.
  ASSERT_TRUE(line.WaitUntilHandingOver());
  port.Close();
  EXPECT_FALSE(port.Connected());
  EXPECT_TRUE(open_inside);
  const auto at = [&](const char* entry) {
    return std::find(journal.entries.begin(), journal.entries.end(), entry) - journal.entries.begin();
  };
  EXPECT_LT(at("BeforeClose"), at("RxChar 3"));
  EXPECT_LT(at("RxChar 3"), at("link Conn 0"));
}

TEST_F(EventDelivery, ACloseReachedAgainWhileClosingLeavesTheJobToTheOuterOne) {
  Open();
  // A handler served by the closing wait processes events, and a click there
  // closes the port again.
  port.OnRxChar = [&](TCustomComPort* sender, int count) {
    journal.Add("RxChar " + std::to_string(count));
    sender->Close();
    journal.Add(sender->Connected() ? "still open" : "closed");
  };
  ASSERT_TRUE(line.WaitUntilWaiting());
  line.Feed("abc");
  ASSERT_TRUE(line.WaitUntilHandingOver());
  port.Close();
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(line.IsOpen());
  EXPECT_EQ(std::count(journal.entries.begin(), journal.entries.end(), "BeforeClose"), 1);
  EXPECT_EQ(std::count(journal.entries.begin(), journal.entries.end(), "AfterClose"), 1);
  const auto at = [&](const char* entry) {
    return std::find(journal.entries.begin(), journal.entries.end(), entry) - journal.entries.begin();
  };
  EXPECT_LT(at("still open"), at("AfterClose"));
  // The thread's closing steps ran on the device before it was closed.
  const Entries calls = line.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "purge 12"), 1);
}

TEST_F(EventDelivery, ThreadSyncRefusesACloseFromInsideAHandlerInsteadOfHanging) {
  Open();
  std::string refused;
  port.OnRxChar = [&](TCustomComPort* sender, int count) {
    std::string text;
    sender->ReadText(text, count);
    try {
      sender->Close();
    } catch (const std::logic_error& e) {
      refused = e.what();
    }
  };
  line.Feed("a");
  ASSERT_TRUE(PumpUntil([&] { return !refused.empty(); }));
  EXPECT_EQ(refused, "A port cannot be closed from inside its own event handler");
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(std::count(journal.entries.begin(), journal.entries.end(), "BeforeClose"), 0);
  // Nothing was torn down: delivery goes on, and closing from outside works.
  int count = 0;
  port.OnRxChar = [&](TCustomComPort*, int n) { count = n; };
  line.Feed("bc");
  ASSERT_TRUE(PumpUntil([&] { return count == 2; }));
  port.Close();
  EXPECT_FALSE(line.IsOpen());
}

TEST_F(EventDelivery, WindowSyncHandlersMayCloseThePort) {
  Open(smWindowSync);
  port.OnError = [&](TCustomComPort* sender, TComErrors) {
    journal.Add("Error");
    sender->Close();
  };
  line.Feed("abc", LineError::Frame);
  ASSERT_TRUE(PumpUntil([&] { return !port.Connected(); }));
  EXPECT_FALSE(line.IsOpen());
  EXPECT_EQ(journal.entries.front(), "Error");
  EXPECT_EQ(journal.entries.back(), "AfterClose");
  EXPECT_EQ(std::count(journal.entries.begin(), journal.entries.end(), "AfterClose"), 1);
  // The port opens and delivers again.
  port.OnError = nullptr;
  int count = 0;
  port.OnRxChar = [&](TCustomComPort*, int n) { count = n; };
  port.Open();
  line.Feed("xy");
  ASSERT_TRUE(PumpUntil([&] { return count == 2; }));
  port.Close();
}

TEST_F(EventDelivery, WindowSyncRunsOneStepPerEventAndGoesOnAfterAnException) {
  line.SetModemLines(ModemLine::Rlsd);
  Open(smWindowSync);
  line.SetModemLines(0);
  ASSERT_TRUE(Logged(2));
  EXPECT_EQ(journal.entries, (Entries{"link RLSD 0", "RLSD 0"}));

  testing_support::ReportedExceptions reported;
  port.OnRing = [](TCustomComPort*) { throw std::runtime_error("ring failed"); };
  line.SetModemLines(ModemLine::Ring);
  ASSERT_TRUE(PumpUntil([&] { return !reported.errors.empty(); }));
  EXPECT_EQ(reported.last_message(), "ring failed");
  EXPECT_EQ(journal.entries.back(), "link Ring");
  line.Feed("zz");
  ASSERT_TRUE(PumpUntil([&] { return journal.entries.back() == "RxChar 2"; }));
  port.Close();
}

TEST_F(EventDelivery, WindowSyncCloseServesTheEventsStillToBeSent) {
  Open(smWindowSync);
  ASSERT_TRUE(line.WaitUntilWaiting());
  line.Feed("abc", LineError::Frame);
  ASSERT_TRUE(line.WaitUntilHandingOver());
  port.Close();
  const auto at = [&](const char* entry) {
    return std::find(journal.entries.begin(), journal.entries.end(), entry) - journal.entries.begin();
  };
  EXPECT_LT(at("BeforeClose"), at("Error 0x1"));
  EXPECT_LT(at("Error 0x1"), at("RxChar 3"));
  EXPECT_LT(at("RxChar 3"), at("link Conn 0"));
}

// At 30 bit/s the gathering window (four characters) lasts 1.3 s.
struct SlowLineDelivery : EventDelivery {
  std::string received;
  SlowLineDelivery() {
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(30);
  }
  void OpenReading() {
    Open();
    port.OnRxChar = [this](TCustomComPort* sender, int count) {
      journal.Add("RxChar " + std::to_string(count));
      std::string text;
      sender->ReadText(text, count);
      received += text;
    };
  }
  bool Received(const std::string& text) {
    return PumpUntil([&] { return received == text; });
  }
};

TEST_F(SlowLineDelivery, BytesTricklingInReachTheHandlersTogetherAndInOrder) {
  OpenReading();
  line.Feed("a");  // a quiet line: handed over at once
  ASSERT_TRUE(Received("a"));
  line.Feed("b");  // right after: handed over, then the window is waited out
  ASSERT_TRUE(Received("ab"));
  for (const char* byte : {"c", "d", "e"}) {
    line.Feed(byte);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(Received("abcde"));
  EXPECT_EQ(journal.entries, (Entries{"link Rx 1", "RxChar 1", "link Rx 0", "link Rx 1", "RxChar 1", "link Rx 0",
                                      "link Rx 1", "RxChar 3", "link Rx 0"}));
}

TEST_F(SlowLineDelivery, CloseDoesNotWaitForTheGatheringWindow) {
  OpenReading();
  line.Feed("a");
  ASSERT_TRUE(Received("a"));
  line.Feed("b");
  ASSERT_TRUE(Received("ab"));
  line.Feed("c");  // gathered: the thread sleeps through the window
  const auto start = std::chrono::steady_clock::now();
  port.Close();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
  EXPECT_FALSE(line.IsOpen());
}

TEST_F(EventDelivery, SmNoneRunsTheStepsOnTheEventThread) {
  port.SetSyncMethod(smNone);
  std::mutex mutex;
  std::condition_variable arrived;
  std::thread::id handler_thread;
  int count = 0;
  port.OnRxChar = [&](TCustomComPort*, int n) {
    std::lock_guard lock(mutex);
    handler_thread = std::this_thread::get_id();
    count = n;
    arrived.notify_all();
  };
  port.Open();
  line.Feed("hello");
  std::unique_lock lock(mutex);
  ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(5), [&] { return count == 5; }));
  EXPECT_NE(handler_thread, std::this_thread::get_id());
  lock.unlock();
  port.Close();
}

// An unplugged receiver: a lamp that still said "port active" would report a
// failure as success. The port closes as Close does, on the GUI thread.
TEST_F(EventDelivery, AVanishedDeviceClosesThePortWithEveryNotification) {
  Open();
  int lost = 0;
  port.OnDeviceLost = [&](TCustomComPort* sender) {
    EXPECT_FALSE(sender->Connected());
    ++lost;
    journal.Add("DeviceLost");
  };
  ASSERT_TRUE(line.WaitUntilWaiting());
  line.Vanish();
  ASSERT_TRUE(PumpUntil([&] { return lost > 0; }));
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(line.IsOpen());
  EXPECT_LE(line.WaitEventCalls(), 2);  // no spinning on the failed wait
  EXPECT_EQ(journal.entries, (Entries{"link CTS 0", "link DSR 0", "link RLSD 0", "CTS 0", "DSR 0", "RLSD 0",
                                      "BeforeClose", "link Conn 0", "AfterClose", "DeviceLost"}));
  EXPECT_EQ(lost, 1);
  // Back again: the port opens and delivers as before.
  port.Open();
  line.Feed("ab");
  ASSERT_TRUE(PumpUntil([&] { return journal.entries.back() == "RxChar 2"; }));
}

TEST_F(EventDelivery, ADeviceThatVanishesUnderAHandlerClosesThePortToo) {
  Open();
  port.OnRxChar = [&](TCustomComPort* sender, int) {
    line.Vanish();
    std::string text;
    sender->ReadText(text, 1);  // fails: the device is gone
  };
  line.Feed("a");
  ASSERT_TRUE(PumpUntil([&] { return !port.Connected(); }));
  EXPECT_EQ(journal.entries.back(), "AfterClose");
}

TEST_F(EventDelivery, LinksThatTakeBuffersMakeThePortReadForThem) {
  std::string port_buffer, link_buffer;
  TComLink reader;
  reader.OnRxBuf = [&](TCustomComPort*, const char* buffer, int count) { link_buffer.assign(buffer, count); };
  port.OnRxBuf = [&](TCustomComPort*, const char* buffer, int count) {
    port_buffer.assign(buffer, count);
    journal.Add("RxBuf");
  };
  Open();
  port.AttachLink(&reader);
  line.Feed("$GPRMC");
  ASSERT_TRUE(Logged(3));
  EXPECT_EQ(port_buffer, "$GPRMC");
  EXPECT_EQ(link_buffer, "$GPRMC");
  // The queue was read empty inside the step, so OnRxChar has nothing to say.
  EXPECT_EQ(journal.entries, (Entries{"link Rx 1", "link Rx 0", "RxBuf"}));
  port.DetachLink(&reader);
}

TEST_F(EventDelivery, WithoutRxCharTriggersThePortReadsForOnRxBuf) {
  std::string port_buffer;
  port.SetTriggersOnRxChar(false);
  port.OnRxBuf = [&](TCustomComPort*, const char* buffer, int count) { port_buffer.assign(buffer, count); };
  Open();
  line.Feed("xyz");
  ASSERT_TRUE(PumpUntil([&] { return port_buffer == "xyz"; }));
  EXPECT_EQ(line.CountCalls("read 3"), 1);
}

}  // namespace
