#pragma once

#include <QStringList>

/// vesk-cli scan: the rows of the database table (or the project summary) after the
/// scan, bin operations, filter and sort, as CSV, HTML, JSON Lines or, by default on
/// a terminal, an aligned table.
class ScanCommand {
public:
    static int run(const QStringList &arguments);
};
