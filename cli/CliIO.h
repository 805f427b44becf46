#pragma once

#include <QString>
#include <QTextStream>

#include <functional>

/// Standard output and error of vesk-cli, and the exit statuses it uses.
class CliIO {
public:
    enum Status { Success = 0, Unreadable = 1, Usage = 2, NothingMatched = 3, Interrupted = 130 };

    static QTextStream &out();
    static QTextStream &err();
    /// "vesk-cli: message" on standard error.
    static void error(const QString &message);
    /// "vesk-cli: warning: message" on standard error.
    static void warning(const QString &message);
    /// The error, then the usage line; returns Usage.
    static int usageError(const QString &message, const QString &usage);
    static bool stderrIsTerminal();
    static bool stdinIsTerminal();
    /// Asks the question on standard error and reads the answer from standard input:
    /// true only for "y" or "yes".
    static bool confirm(const QString &question);
    /// The console's text with each line's source prefix, "(function) (file:line) :: ",
    /// taken away.
    static QString withoutSources(const QString &log);
    /// What the work logs while it runs, each line without its source prefix.
    static QString captureLog(const std::function<void()> &work);
};
