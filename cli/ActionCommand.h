#pragma once

#include <QHash>
#include <QStringList>

class VeskActionOperation;
class VeskDatabaseItem;
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
    static void printPlan(const VeskActionProperties &properties, const QString &overwrite);
    /// What the action would do with the item; planned holds the targets of the rows
    /// before, so that two rows with one target show as a clash.
    static QString planLine(const VeskActionOperation &operation, const VeskDatabaseItem &item,
        const QString &overwrite, QHash<QString, QString> &planned);
    static int runAction(const VeskActionProperties &properties);
};
