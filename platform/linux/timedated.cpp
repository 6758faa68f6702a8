#include "platform/linux/timedated.h"

#include <QDBusMessage>

namespace platform {

namespace {

// Setting the clock is a blocking step of the acquisition cycle: an answer
// that has not come by then is taken as a refusal, before the next cycle.
constexpr int kAnswerMilliseconds = 2000;

}  // namespace

bool timedated_set_time(const QDBusConnection& bus, std::chrono::microseconds since_epoch) {
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                                                     "org.freedesktop.timedate1", "SetTime");
  const bool relative = false;
  const bool interactive = false;
  call << static_cast<qlonglong>(since_epoch.count()) << relative << interactive;
  return bus.call(call, QDBus::Block, kAnswerMilliseconds).type() == QDBusMessage::ReplyMessage;
}

}  // namespace platform
