#pragma once

#include <QString>

/// The embedded Python 3 interpreter that runs the user's post-action script. It is
/// started once per process and left running: each script runs in a module
/// "__main__" of its own, so no run sees what an earlier one defined, and no
/// interpreter is torn down and started again in one process.
class VeskPythonScript {
public:
    /// Runs the source as the main module, as UTF-8 text. The script's own errors are
    /// printed by the interpreter to standard error; raising SystemExit ends the
    /// script, never the process. Safe from any thread; runs are serialised.
    static void run(const QString &source);
    /// The step after every action that was not cancelled: runs the script kept in the
    /// setting "ExtPythonMailer", between two console lines.
    static void runPostActionScript();
};
