#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

#include <functional>
#include <optional>

/// Standard output and error of vesk-cli, and the exit statuses it uses.
class CliIO {
public:
    enum Status { Success = 0, Unreadable = 1, Usage = 2, NothingMatched = 3 };

    static QTextStream &out();
    static QTextStream &err();
    /// "vesk-cli: message" on standard error.
    static void error(const QString &message);
    /// "vesk-cli: warning: message" on standard error.
    static void warning(const QString &message);
    /// The error, then the usage line; returns Usage.
    static int usageError(const QString &message, const QString &usage);
    static bool stderrIsTerminal();
    /// Parses a command's arguments; the exit status when the command should stop here
    /// (wrong usage, or --help answered), none to go on. The help names the program as
    /// the first argument does ("vesk-cli scan"), not by the path it was started from.
    static std::optional<int> parse(QCommandLineParser &parser, const QStringList &arguments, const QString &usage);
    /// What the work logs while it runs, each line without its source prefix.
    static QString captureLog(const std::function<void()> &work);
};
