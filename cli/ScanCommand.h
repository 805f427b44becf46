#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <functional>

#include <variant>

class CliRows;

/// vesk-cli scan: the rows of the database table (or the project summary) after the
/// scan, bin operations, filter and sort, as CSV, HTML, JSON Lines or, by default on
/// a terminal, an aligned table.
class ScanCommand {
public:
    static int run(const QStringList &arguments);

    // The row printing, shared with the commands that print media rows too.
    /// --format's value, or its default: the table on a terminal (unless --output is
    /// given), CSV otherwise.
    static QString format(const QCommandLineParser &parser);
    /// The fields --columns names, or the format's default ones; or what is wrong with them.
    static std::variant<QStringList, QString> fields(
        const QCommandLineParser &parser, const CliRows &rows, bool summary, const QString &format);
    /// The rows in the format, to --output or standard output; false, with the error
    /// printed, when they cannot be written.
    static bool print(
        const QCommandLineParser &parser, const CliRows &rows, const QStringList &fields, const QString &format);
    /// The text to --output or standard output; false, with the error printed, when it
    /// cannot be written.
    static bool write(const QCommandLineParser &parser, const QString &text);
    /// The same for output written piece by piece, which a million rows need.
    static bool write(const QCommandLineParser &parser, const std::function<void(QTextStream &)> &writeTo);
};
