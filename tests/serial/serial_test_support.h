// Helpers of the serial tests: a journal of the notifications a port gave,
// and the port on a fake line that most tests start from.
#pragma once

#include "serial/com_error.h"
#include "serial/com_port.h"
#include "support/fake_serial_device.h"
#include "support/wait_until.h"

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using testing_support::PumpUntil;
using testing_support::WaitUntil;

// The EComPort that `action` raises (a failure is recorded when none is).
inline serial::EComPort Raised(const std::function<void()>& action) {
  try {
    action();
  } catch (const serial::EComPort& e) {
    return e;
  }
  ADD_FAILURE() << "no EComPort raised";
  return serial::EComPort(0);
}

// Records every handler call of a port and of one link, in order, as text
// such as "RxChar 5", "Error 0x1", "CTS 1", "link Conn 0". Whichever of the
// journal and the port goes first, the other is left without dangling
// references (a removal listener tells the journal the port went away).
struct NotificationJournal {
  std::vector<std::string> entries;
  serial::TComLink link;
  serial::TCustomComPort* watched = nullptr;

  NotificationJournal() = default;
  NotificationJournal(const NotificationJournal&) = delete;
  NotificationJournal& operator=(const NotificationJournal&) = delete;
  ~NotificationJournal() {
    if (!watched) return;
    serial::TCustomComPort& p = *watched;
    p.DetachLink(&link);
    p.RemoveRemovalListener(this);
    p.OnBeforeOpen = p.OnAfterOpen = p.OnBeforeClose = p.OnAfterClose = nullptr;
    p.OnTxEmpty = p.OnBreak = p.OnRing = p.OnRxFlag = p.OnRx80Full = nullptr;
    p.OnCTSChange = p.OnDSRChange = p.OnRLSDChange = nullptr;
    p.OnRxChar = nullptr;
    p.OnError = nullptr;
  }

  void Add(std::string entry) { entries.push_back(std::move(entry)); }

  void Watch(serial::TCustomComPort& port) {
    using serial::TCustomComPort;
    watched = &port;
    port.AddRemovalListener(this, [this] {
      watched->DetachLink(&link);
      watched = nullptr;
    });
    auto notify = [this](const char* name) { return [this, name](TCustomComPort*) { Add(name); }; };
    auto signal = [this](const char* name) {
      return [this, name](TCustomComPort*, bool on) { Add(std::string(name) + (on ? " 1" : " 0")); };
    };
    port.OnBeforeOpen = notify("BeforeOpen");
    port.OnAfterOpen = notify("AfterOpen");
    port.OnBeforeClose = notify("BeforeClose");
    port.OnAfterClose = notify("AfterClose");
    port.OnTxEmpty = notify("TxEmpty");
    port.OnBreak = notify("Break");
    port.OnRing = notify("Ring");
    port.OnRxFlag = notify("RxFlag");
    port.OnRx80Full = notify("Rx80Full");
    port.OnCTSChange = signal("CTS");
    port.OnDSRChange = signal("DSR");
    port.OnRLSDChange = signal("RLSD");
    port.OnRxChar = [this](TCustomComPort*, int count) { Add("RxChar " + std::to_string(count)); };
    port.OnError = [this](TCustomComPort*, serial::TComErrors errors) {
      char text[16];
      std::snprintf(text, sizeof text, "Error 0x%x", errors.bits());
      Add(text);
    };
    link.OnConn = signal("link Conn");
    link.OnCTSChange = signal("link CTS");
    link.OnDSRChange = signal("link DSR");
    link.OnRLSDChange = signal("link RLSD");
    link.OnRx = signal("link Rx");
    link.OnTx = signal("link Tx");
    link.OnRing = notify("link Ring");
    link.OnTxEmpty = notify("link TxEmpty");
    link.OnRxFlag = notify("link RxFlag");
    port.AttachLink(&link);
  }
};

// A port on a fake line, with a journal of its notifications that outlives
// the port (whose closing it records).
class PortOnFakeLine : public ::testing::Test {
 protected:
  // Opens the port with these Events and SyncMethod, watched by the journal,
  // then forgets what opening did (the journal's entries, the line's calls).
  void Open(serial::TComEvents events, serial::TSyncMethod method = serial::smThreadSync) {
    port.SetEvents(events);
    port.SetSyncMethod(method);
    journal.Watch(port);
    port.Open();
    journal.entries.clear();
    line.ClearCalls();
  }

  FakeSerialLine line;
  NotificationJournal journal;
  serial::TComPort port{line};
};
