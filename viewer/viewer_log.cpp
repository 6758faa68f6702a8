#include "viewer/viewer_log.h"

namespace viewer {

// Warnings and above only, unless the rules enable its debug messages.
Q_LOGGING_CATEGORY(viewer_log, "orvanta.viewer", QtWarningMsg)

}  // namespace viewer
