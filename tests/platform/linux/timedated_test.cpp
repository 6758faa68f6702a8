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
  const QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(timedated.address), "mock");

  EXPECT_TRUE(platform::timedated_set_time(bus, microseconds(1'700'000'000'123'456)));
  ASSERT_EQ(timedated.set_time_calls().size(), 1u);
  EXPECT_TRUE(timedated.set_time_calls()[0].ends_with(" SetTime 1700000000123456 False False")) << "not interactive";

  // From now on SetTime fails, as it does while automatic synchronisation is on.
  QDBusMessage refuse = QDBusMessage::createMethodCall("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                                                       "org.freedesktop.DBus.Mock", "AddMethod");
  refuse.setArguments(
      {"org.freedesktop.timedate1", "SetTime", "xbb", "",
       "raise dbus.exceptions.DBusException('', name='org.freedesktop.timedate1.AutomaticTimeSyncEnabled')"});
  ASSERT_EQ(bus.call(refuse).type(), QDBusMessage::ReplyMessage);
  EXPECT_FALSE(platform::timedated_set_time(bus, microseconds(1'700'000'000'000'000)));

  const QDBusConnection nowhere = QDBusConnection::connectToBus("unix:path=" + dir.filePath("none"), "nowhere");
  EXPECT_FALSE(platform::timedated_set_time(nowhere, microseconds(1'700'000'000'000'000)));
}
