#pragma once

#include <QStringList>

/// vesk-cli scan: the rows of the database table (or the project summary) after the
/// scan, bin operations, filter and sort, as CSV, HTML or JSON Lines.
class ScanCommand {
public:
    static int run(const QStringList &arguments);
};
