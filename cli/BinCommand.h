#pragma once

#include <QStringList>

/// vesk-cli bin: the UIDs each bin references, or its diagnostic dump.
class BinCommand {
public:
    static int run(const QStringList &arguments);
};
