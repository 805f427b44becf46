#pragma once

#include "report/VeskAlert.h"

/// Answers the actions' questions on the command line. The overwrite question follows
/// --overwrite; the others (copy a file that cannot be moved, remove for good a file the
/// trash refuses) are asked on the terminal in "ask" mode and answered "No" otherwise.
/// Asking without a terminal on standard input also means "No". Error messages go to
/// standard error and are acknowledged.
class CliAlerts {
public:
    enum class Overwrite { Ask, Yes, No };
    static VeskAlert::Handler handler(Overwrite overwrite);

private:
    static int answer(const VeskAlert::Request &request, Overwrite overwrite);
    static int askTerminal(const VeskAlert::Request &request);
    static int refusal(const VeskAlert::Request &request);
};
