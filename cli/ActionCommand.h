#pragma once

#include <QStringList>

class VeskActionOperation;
class VeskDatabaseItem;
struct VeskActionProperties;

/// vesk-cli copy, move and delete: the rows that "scan" with the same options would
/// print, handed to one file action whose log is printed when it ends; or, with
/// --dry-run, what the action would do with each row, changing nothing.
class ActionCommand {
public:
    /// The action comes from the command name in arguments[0] ("vesk-cli copy").
    static int run(const QStringList &arguments);

private:
    static void printPlan(const VeskActionProperties &properties, const QString &overwrite);
    static QString planLine(
        const VeskActionOperation &operation, const VeskDatabaseItem &item, const QString &overwrite);
    static int runAction(const VeskActionProperties &properties);
};
