#pragma once

#include <QStringList>

/// vesk-cli inspect: the inspector's rows of an MDB or OMF file as an indented tree,
/// or the description of one TOC entry.
class InspectCommand {
public:
    static int run(const QStringList &arguments);
};
