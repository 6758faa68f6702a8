// The gpsd backend's diagnostic log, "orvanta.gpsd": connections made,
// refused and lost, and the local gpsd coming and going in the port list.
// Silent unless asked for (QT_LOGGING_RULES, or the program's --verbose).
#pragma once

#include <QLoggingCategory>

namespace serial {

Q_DECLARE_LOGGING_CATEGORY(gpsd_log)

}  // namespace serial
