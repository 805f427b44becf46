#pragma once

#include "actions/VeskMHLHistory.h"

#include <QString>

#include <map>

/// What one copy or move wrote into its destination, collected file by file as each is
/// done and then recorded as one "transfer" generation of the destination's ASC MHL
/// history: a stopped action records what it completed.
class VeskMHLRecorder {
public:
    explicit VeskMHLRecorder(QString destination);

    /// A file written under the destination with the xxh128 of what was written;
    /// verified when it was read back and found equal. Files outside are ignored.
    void add(const QString &target, const QString &xxh128, bool verified);
    bool isEmpty() const { return m_hashes.empty(); }
    /// Appends the generation; nothing is written when nothing was added.
    bool write(QString *error);
    QString historyFolder() const { return m_history.historyFolder(); }

private:
    VeskMHLHistory m_history;
    std::map<QString, VeskMHLHistory::Hash> m_hashes;
};
