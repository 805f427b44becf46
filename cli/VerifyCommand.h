#pragma once

#include <QStringList>

/// vesk-cli verify DIR: checks DIR against its ASC MHL history, printing one line per
/// file that is missing or differs (and per problem of the chain), then a summary.
/// Exits 0 when everything matches, 1 when anything is missing or differs or the
/// chain is broken, 2 on wrong usage or when DIR has no history.
class VerifyCommand {
public:
    static int run(const QStringList &arguments);
};
