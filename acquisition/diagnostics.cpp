#include "acquisition/diagnostics.h"

// Warnings only by default: a user who has nothing to diagnose reads nothing.
Q_LOGGING_CATEGORY(lcAcquisition, "orvanta.acquisition", QtWarningMsg)
Q_LOGGING_CATEGORY(lcClock, "orvanta.clock", QtWarningMsg)
