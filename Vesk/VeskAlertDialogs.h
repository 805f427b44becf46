#pragma once

#include "report/VeskAlert.h"

/// Shows the core's alerts as warning message boxes whose buttons answer 1000, 1001,
/// 1002 in the order they were added.
class VeskAlertDialogs {
public:
    static void install();
    static int run(const VeskAlert::Request &request);
    /// Installs the handler for uncaught exceptions: an alert, then the process ends.
    static void installUncaughtExceptionHandler();
};
