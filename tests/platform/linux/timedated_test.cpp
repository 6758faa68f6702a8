// Setting the clock through timedated, against a mock timedated on a private
// bus: neither the machine's system bus nor its clock is touched.
#include "platform/linux/timedated.h"

#include "support/mock_timedated.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using std::chrono::microseconds;

TEST(Timedated, AsksForTheTimeToTheMicrosecondWithoutInteractionAndReportsARefusal) {
  QTemporaryDir dir;
  testing_support::MockTimedated timedated(dir.path().toStdString());
  if (!timedated.ready()) GTEST_SKIP() << timedated.why();

  EXPECT_TRUE(platform::timedated_set_time(timedated.bus(), microseconds(1'700'000'000'123'456)));
  std::vector<testing_support::MockTimedated::SetTimeCall> calls = timedated.set_time_calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].usec, 1'700'000'000'123'456);
  EXPECT_EQ(calls[0].rest, "False False");  // absolute, not interactive

  timedated.refuse();
  EXPECT_FALSE(platform::timedated_set_time(timedated.bus(), microseconds(1'700'000'000'000'000)));
  EXPECT_EQ(timedated.set_time_calls().size(), 2u);

  const QDBusConnection nowhere = QDBusConnection::connectToBus("unix:path=" + dir.filePath("none"), "nowhere");
  EXPECT_FALSE(platform::timedated_set_time(nowhere, microseconds(1'700'000'000'000'000)));
}
