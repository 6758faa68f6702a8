// A lamp linked to a port: the port drives it, and the link never outlives
// either of them.
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/ui/com_led.h"
#include "support/fake_serial_device.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace serial {
namespace {

struct Changes {
  std::vector<TLedState> states;
  void watch(TComLed& led) {
    led.OnChange = [this](TComLed*, TLedState state) { states.push_back(state); };
  }
};

TEST(ComLedLink, ALinkedLampRefusesStateWrites) {
  FakeSerialLine line;
  TComPort port(line);
  TComLed led;
  led.SetComPort(&port);
  Changes changes;
  changes.watch(led);
  try {
    led.SetState(lsOn);
    FAIL() << "a linked lamp took a state";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode(), ComError::LedStateFailed);
    EXPECT_STREQ(e.what(), "Cannot change led state if ComPort is selected");
  }
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_TRUE(changes.states.empty());

  led.SetComPort(nullptr);
  led.SetState(lsOn);  // unlinked again: the owner switches it
  EXPECT_EQ(led.State(), lsOn);
}

TEST(ComLedLink, LinkingShowsAnOpenPortsSignalAndUnlinkingTurnsTheLampOff) {
  FakeSerialLine line;
  TComPort closed(line);
  TComLed led;
  led.SetState(lsOn);
  Changes changes;
  changes.watch(led);

  led.SetComPort(&closed);
  EXPECT_EQ(led.State(), lsOn) << "a closed port leaves the state as it was";
  EXPECT_TRUE(changes.states.empty());
  led.SetComPort(&closed);
  EXPECT_TRUE(changes.states.empty()) << "the same port again changes nothing";
  led.SetComPort(nullptr);
  EXPECT_EQ(changes.states, std::vector{lsOff});

  TComPort open(line);
  open.Open();
  led.SetComPort(&open);
  EXPECT_EQ(led.State(), lsOn);
  EXPECT_EQ(changes.states, (std::vector{lsOff, lsOn}));

  // Moving to another port leaves the first one behind.
  led.SetComPort(&closed);
  open.Close();
  EXPECT_EQ(led.State(), lsOn);
  EXPECT_EQ(changes.states.size(), 2u);
}

TEST(ComLedLink, OpeningAndClosingThePortSwitchTheLamp) {
  FakeSerialLine line;
  TComPort port(line);
  TComLed led;
  led.SetComPort(&port);
  Changes changes;
  changes.watch(led);
  port.Open();
  EXPECT_EQ(led.State(), lsOn);
  port.Close();
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_EQ(changes.states, (std::vector{lsOn, lsOff}));
}

TEST(ComLedLink, TheLampFollowsOnlyItsOwnSignal) {
  FakeSerialLine line;
  line.SetModemLines(ModemLine::Cts);
  TComPort port(line);
  TComLed cts, dsr, rx;
  cts.SetLedSignal(lsCTS);
  dsr.SetLedSignal(lsDSR);
  rx.SetLedSignal(lsRx);
  for (TComLed* led : {&cts, &dsr, &rx}) led->SetComPort(&port);
  port.Open();
  EXPECT_EQ(cts.State(), lsOn);
  EXPECT_EQ(dsr.State(), lsOff);
  EXPECT_EQ(rx.State(), lsOff) << "the open itself is no receive signal";
  port.Close();
  EXPECT_EQ(cts.State(), lsOff);

  // Linking to a port already open reads the line; back on lsConn the lamp
  // shows the open port.
  port.Open();
  TComLed late;
  late.SetLedSignal(lsCTS);
  late.SetComPort(&port);
  EXPECT_EQ(late.State(), lsOn);
  late.SetComPort(nullptr);
  late.SetLedSignal(lsConn);
  late.SetComPort(&port);
  EXPECT_EQ(late.State(), lsOn);
}

TEST(ComLedLink, ALoadingLampIsLinkedWithoutChangingState) {
  FakeSerialLine line;
  TComPort port(line);
  port.Open();
  TComLed led;
  led.SetLoading(true);
  led.SetComPort(&port);
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_EQ(led.ComPort(), &port);
}

TEST(ComLedLink, DestroyingThePortTurnsItsLampsOffAndUnlinksThem) {
  FakeSerialLine line;
  auto port = std::make_unique<TComPort>(line);
  port->Open();
  TComLed first, second;
  first.SetComPort(port.get());
  second.SetComPort(port.get());
  ASSERT_EQ(first.State(), lsOn);
  Changes changes;
  changes.watch(second);

  port.reset();
  for (TComLed* led : {&first, &second}) {
    EXPECT_EQ(led->State(), lsOff);
    EXPECT_EQ(led->ComPort(), nullptr);
  }
  EXPECT_EQ(changes.states.back(), lsOff);
  second.SetState(lsOn);
  EXPECT_EQ(second.State(), lsOn);
}

TEST(ComLedLink, ALampDestroyedFirstIsNoLongerCalledAndAnnouncesNothing) {
  FakeSerialLine line;
  TComPort port(line);
  port.Open();
  auto led = std::make_unique<TComLed>();
  led->SetComPort(&port);
  bool announced = false;
  led->OnChange = [&](TComLed*, TLedState) { announced = true; };
  led.reset();
  EXPECT_FALSE(announced);
  port.Close();  // would reach the lamp through a stale link
  port.Open();

  TComLed other;  // the port's bookkeeping is intact
  other.SetComPort(&port);
  EXPECT_EQ(other.State(), lsOn);
  port.Close();
  EXPECT_EQ(other.State(), lsOff);
}

}  // namespace
}  // namespace serial
