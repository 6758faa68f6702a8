// The port's device opened in the background: never on the window's thread,
// one opening at a time, and what the user overtook closed and dropped.
#include "support/controller_fixture.h"

#include <memory>

using OpeningTest = ControllerFixture;

TEST_F(OpeningTest, DevicesOpenInTheBackgroundOneAtATimeAndWhatTheUserOvertookIsDropped) {
  settings.auto_connect = true;
  background.hold(true);
  auto closed_meanwhile = std::make_unique<acquisition::AcquisitionController>(platform, settings);
  closed_meanwhile->run_cycle();
  closed_meanwhile.reset();
  c.run_cycle();
  c.port().SetPort("COM7");
  background.finish();
  c.run_cycle();
  c.disconnect_by_hand();
  background.finish();
  EXPECT_FALSE(line.IsOpen());

  c.run_cycle();  // an automatic opening, which the click takes over
  c.connect_by_hand();
  c.run_cycle();
  EXPECT_EQ(background.held(), 1);
  EXPECT_EQ(line.OpenCount(), 3) << "nothing opened on the window's thread";
  background.finish();
  EXPECT_TRUE(c.port().Connected());
  EXPECT_EQ(line.LastOpenedName(), "COM7");
  EXPECT_EQ(line.OpenCount(), 5) << "three dropped, then opened, closed and opened again, all in the background";
}
