// The viewer's diagnostic log, "orvanta.viewer": each journal load and how it
// ended. Silent unless asked for (QT_LOGGING_RULES, or the program's
// --verbose).
#pragma once

#include <QLoggingCategory>

namespace viewer {

Q_DECLARE_LOGGING_CATEGORY(viewer_log)

}  // namespace viewer
