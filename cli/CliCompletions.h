#pragma once

#include "CliOptions.h"

#include <QString>

/// Completion scripts for bash, zsh and fish, made from the option and command tables.
class CliCompletions {
public:
    /// The script for the shell ("bash", "zsh" or "fish"); empty for another name.
    static QString script(const QString &shell);

private:
    static QString bash();
    static QString zsh();
    static QString fish();
    /// The first sentence of the option's help, quoted for the shell's single quotes.
    static QString quotedSummary(const char *help, const QString &alsoEscaped = {});
};
