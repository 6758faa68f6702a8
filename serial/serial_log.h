// The serial component's diagnostic log, "orvanta.serial": which port opens
// or why it does not. Silent unless asked for (QT_LOGGING_RULES, or the
// program's --verbose).
#pragma once

#include <QLoggingCategory>

namespace serial {

Q_DECLARE_LOGGING_CATEGORY(serial_log)

}  // namespace serial
