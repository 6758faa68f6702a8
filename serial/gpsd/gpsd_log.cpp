#include "serial/gpsd/gpsd_log.h"

namespace serial {

// Warnings and above only, unless the rules enable its debug messages.
Q_LOGGING_CATEGORY(gpsd_log, "orvanta.gpsd", QtWarningMsg)

}  // namespace serial
