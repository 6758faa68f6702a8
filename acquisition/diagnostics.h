// The acquisition's diagnostic messages, all at debug level and so silent
// unless enabled (QT_LOGGING_RULES="orvanta.*.debug=true"): connection
// attempts and their outcome and the log files' failures in
// orvanta.acquisition, every decision about the computer's clock in
// orvanta.clock.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAcquisition)
Q_DECLARE_LOGGING_CATEGORY(lcClock)
