#include "platform/linux/timedated.h"

#include "support/mock_timedated.h"

#include <QDBusMessage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using std::chrono::microseconds;

TEST(Timedated, AsksForTheTimeToTheMicrosecondWithoutInteractionAndReportsARefusal) {
  QTemporaryDir dir;
  testing_support::MockTimedated timedated(dir.path().toStdString());
  if (!timedated.why_not.empty()) GTEST_SKIP() << timedated.why_not;

  EXPECT_TRUE(platform::timedated_set_time(timedated.bus(), microseconds(1'700'000'000'123'456)));
  ASSERT_EQ(timedated.set_time_calls().size(), 1u);
  // Absolute, not interactive.
  EXPECT_TRUE(timedated.set_time_calls()[0].ends_with(" SetTime 1700000000123456 False False"));

  // From now on SetTime fails, as it does while automatic synchronisation is on.
  QDBusMessage refuse = QDBusMessage::createMethodCall("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                                                       "org.freedesktop.DBus.Mock", "AddMethod");
  refuse << "org.freedesktop.timedate1"
         << "SetTime"
         << "xbb"
         << ""
         << "raise dbus.exceptions.DBusException('NTP', name='org.freedesktop.timedate1.AutomaticTimeSyncEnabled')";
  ASSERT_EQ(timedated.bus().call(refuse).type(), QDBusMessage::ReplyMessage);
  EXPECT_FALSE(platform::timedated_set_time(timedated.bus(), microseconds(1'700'000'000'000'000)));

  const QDBusConnection nowhere = QDBusConnection::connectToBus("unix:path=" + dir.filePath("none"), "nowhere");
  EXPECT_FALSE(platform::timedated_set_time(nowhere, microseconds(1'700'000'000'000'000)));
}
