#pragma once

#include <QStringList>

/// vesk-cli mxf: what the MXF reader finds in each file, as JSON Lines.
class MxfCommand {
public:
    static int run(const QStringList &arguments);
};
