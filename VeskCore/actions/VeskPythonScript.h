#pragma once

#include <QString>

/// The embedded Python 3 interpreter that runs the user's post-action script. It is
/// started once per process and left running: each script runs in a module
/// "__main__" of its own, so no run sees what an earlier one defined, and no
/// interpreter is torn down and started again in one process.
class VeskPythonScript {
public:
    /// The settings key of the post-action script's time limit, in seconds.
    static const QString kTimeLimitKey;
    static constexpr int kDefaultTimeLimitSeconds = 60;

    /// Runs the source as the main module, as UTF-8 text. The script's own errors are
    /// printed by the interpreter to standard error; raising SystemExit ends the
    /// script, never the process. A script still running after the time limit, or
    /// when stopRunningScript() is called, is stopped: SystemExit is raised in it
    /// (again and again, should it catch it) and its time.sleep() calls wake; each
    /// operation of its sockets times out after the limit. A script blocked in another
    /// call into C stops when that call returns. Safe from any thread; runs are
    /// serialised.
    static void run(const QString &source, int timeLimitSeconds = kDefaultTimeLimitSeconds);
    /// Stops the script that runs now, if any. Callable from any thread; does not wait.
    static void stopRunningScript();
    /// The step after every action that was not cancelled: runs the script kept in the
    /// setting "ExtPythonMailer", between two console lines, within the time limit
    /// of the setting kTimeLimitKey (the default when it is not a positive number).
    static void runPostActionScript();
};
