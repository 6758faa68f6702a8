#include "serial/serial_log.h"

namespace serial {

// Warnings and above only, unless the rules enable its debug messages.
Q_LOGGING_CATEGORY(serial_log, "orvanta.serial", QtWarningMsg)

}  // namespace serial
