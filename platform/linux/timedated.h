// Setting the clock through systemd-timedated on the system bus, for a process
// that lacks the right to set it itself: polkit decides whether the user may
// (the action org.freedesktop.timedate1.set-time), never by asking in a
// dialog. A program with a file capability would hand that right to any code
// its libraries load from the environment (Qt's plugin paths); this way the
// right stays with a service that checks who asks.
#pragma once

#include <QDBusConnection>
#include <chrono>

namespace platform {

// Asks timedated on `bus` to set the clock to `since_epoch` (UTC). True when
// it did; false when it refused (not allowed, automatic synchronisation on)
// or did not answer in time, or when there is no bus or no timedated.
bool timedated_set_time(const QDBusConnection& bus, std::chrono::microseconds since_epoch);

}  // namespace platform
