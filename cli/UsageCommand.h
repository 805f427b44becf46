#pragma once

#include <QStringList>

/// vesk-cli usage: for each --bins bin (or folder of bins) how many of its distinct
/// references the scanned media holds, their size and the offline ones, then the same
/// for all the bins together.
class UsageCommand {
public:
    static int run(const QStringList &arguments);
};
