#pragma once

#include <QStringList>

#include <vector>

class QCommandLineParser;
class VeskQuarantineSet;

/// vesk-cli quarantine --list, restore and purge: the quarantine sets under volume
/// roots. Restore never overwrites: a file whose place is taken stays in quarantine
/// and is named, and the exit status is 1 then. Purge asks first on a terminal and
/// needs --yes without one.
class QuarantineCommand {
public:
    /// "quarantine": lists with --list, else quarantines like the other file actions.
    static int run(const QStringList &arguments);
    static int restore(const QStringList &arguments);
    static int purge(const QStringList &arguments);

private:
    static int list(const QCommandLineParser &parser);
    /// Why the purge options are wrong; empty when they are right.
    static QString purgeUsage(const QCommandLineParser &parser);
    /// The sets purge names: one by id, or those older than --older-than days.
    static std::vector<VeskQuarantineSet> chosenSets(const QCommandLineParser &parser, int *status);
};
