#pragma once

#include <QStringList>

class ActionProgress;
class QCommandLineParser;
class VeskAction;
class VeskOperationQueue;
class VeskNewActionController;
struct VeskActionProperties;

/// vesk-cli copy, move, delete and quarantine: the rows that "scan" with the same options would
/// print, handed to one file action; or, with --dry-run, the plan of what the action
/// would do, changing nothing. Move, delete and quarantine ask first on a terminal and need --yes
/// without one. Exits 0 when every item was done or skipped, 1 when any failed or the
/// question was declined, 2 on wrong usage, 130 when interrupted.
class ActionCommand {
public:
    /// The action comes from the command name in arguments[0] ("copy").
    static int run(const QStringList &arguments);

private:
    /// Checks the options that need no scan; an error text for wrong usage.
    static QString checkUsage(const QCommandLineParser &parser, const QString &action);
    static QString readLayout(const QCommandLineParser &parser, VeskNewActionController &sheet);
    /// Prints the plan (--dry-run), or asks where needed and runs the action.
    static int planAndAct(
        const QCommandLineParser &parser, const QString &action, const VeskActionProperties &properties);
    static int runAction(VeskOperationQueue &queue, VeskAction &action, ActionProgress &&progress);
};
