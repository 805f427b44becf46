#pragma once

#include "CliOptions.h"

#include <QString>
#include <QStringList>

/// The texts that explain vesk-cli: the help of the program and of each command, and
/// the manual page, all from the option and command tables.
class CliHelp {
public:
    /// "vesk-cli scan [options] PATH..."
    static QString usageLine(const CliOptions::CommandInfo &command);
    /// The usage line, what the command does, its options with their defaults, examples.
    static QString commandHelp(const CliOptions::CommandInfo &command);
    /// The commands, one line each, and the exit statuses.
    static QString programHelp();
    /// vesk-cli.1 in the man macros.
    static QString manPage();

private:
    static QString optionTerm(const CliOptions::Option &option);
    static QString optionText(const CliOptions::Option &option);
    /// What --columns and --sort take, for the commands that have them.
    static QStringList namesText(const CliOptions::CommandInfo &command);
    static QString wrapped(const QString &text, int indent, int width);
    static QString roff(const QString &text);
};
