#pragma once

#include "actions/VeskMHLHistory.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

/// Checks a managed folder against its ASC MHL history: the chain (each manifest's C4
/// id), then every file the history lists with an xxh128, each read once from the
/// disk. With recording, the result is appended as an "in-place" generation.
class VeskMHLVerification {
public:
    enum class Status { Matches, Differs, Missing, Unreadable, Unchecked };
    struct File {
        QString path; // relative to the folder
        Status status = Status::Unchecked;
        QString recorded;
        QString found;
        QString reason; // why it could not be read or checked
    };
    /// Told the bytes read so far of all there is to read; false stops.
    using Progress = std::function<bool(int64_t done, int64_t total)>;

    explicit VeskMHLVerification(QString folder);
    /// The bytes a verification of the folder reads: the sizes its history records.
    static uint64_t bytesListed(const QString &folder);

    /// False, with the reason, when the folder has no history to verify or a record
    /// could not be written; a stop or a failed file is a result, not a false.
    bool run(bool record, const Progress &progress, QString *error);

    const std::vector<File> &files() const { return m_files; }
    const QStringList &chainProblems() const { return m_history.chainProblems(); }
    bool stopped() const { return m_stopped; }
    /// Every listed file is there and equal, and the chain is whole.
    bool passed() const;
    /// One line per file that is missing, differs or cannot be read or checked, and per
    /// problem of the chain.
    QStringList problemLines() const;
    QString summary() const;

private:
    void check(File &file, int64_t &done, int64_t total, const Progress &progress);
    bool record(QString *error);

    QString m_folder;
    VeskMHLHistory m_history;
    std::vector<File> m_files;
    bool m_stopped = false;
};
