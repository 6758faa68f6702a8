// The port's device opened in the background: never on the window's thread,
// one opening at a time, and what the user has overtaken closed and dropped.
#include "support/controller_fixture.h"

#include <functional>
#include <thread>
#include <utility>

namespace {

class OpeningTest : public ControllerFixture {
 protected:
  OpeningTest() {
    settings.auto_connect = true;
    background.hold(true);
  }
};

TEST_F(OpeningTest, TheWindowsThreadNeverOpensAndAClickTakesOverTheOpeningUnderWay) {
  c.run_cycle();  // the automatic connection starts an opening
  c.connect_by_hand();
  c.connect_by_hand();
  c.run_cycle();
  EXPECT_EQ(background.held(), 1);
  EXPECT_FALSE(c.port().Connected());
  c.toggle_alarm_mute();
  background.finish();
  EXPECT_TRUE(c.port().Connected());
  EXPECT_EQ(line.OpenCount(), 2) << "opened, closed and opened again, as a click does";
  EXPECT_NE(line.LastOpenThread(), std::this_thread::get_id());
  EXPECT_FALSE(c.alarm_muted());
}

TEST_F(OpeningTest, WhatTheUserOvertookIsClosedAndDropped) {
  const std::pair<const char*, std::function<void()>> meanwhile[] = {
      {"another port named", [this] { c.port().SetPort("COM7"); }},
      {"disconnected by hand", [this] { c.disconnect_by_hand(); }},
  };
  for (const auto& [what, act] : meanwhile) {
    c.run_cycle();
    ASSERT_EQ(background.held(), 1) << what;
    act();
    background.finish();
    EXPECT_FALSE(c.port().Connected()) << what;
    EXPECT_FALSE(line.IsOpen()) << what;
  }
  {
    acquisition::AcquisitionController closed_meanwhile(platform, settings);
    closed_meanwhile.connect_by_hand();
  }
  background.finish();
  EXPECT_FALSE(line.IsOpen());

  c.run_cycle();
  background.finish();
  EXPECT_TRUE(c.port().Connected());
  EXPECT_EQ(line.LastOpenedName(), "COM7");
}

}  // namespace
