#pragma once

#include <QStringList>

struct VeskActionProperties;

/// vesk-cli copy, move and delete: the rows that "scan" with the same options would
/// print, handed to one file action whose log and a one-line summary are printed when
/// it ends; or, with --dry-run, what the action would do with each row, changing
/// nothing. Exits 0 when every item was done or skipped, 1 when any failed, 130 when
/// cancelled.
class ActionCommand {
public:
    /// The action comes from the command name in arguments[0] ("vesk-cli copy").
    static int run(const QStringList &arguments);

private:
    static int runAction(const VeskActionProperties &properties);
};
