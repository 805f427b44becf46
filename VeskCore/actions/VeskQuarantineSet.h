#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

/// One file held in quarantine: where it was and what it was.
struct VeskQuarantineEntry {
    /// Below the volume root, and so below the set folder too.
    QString relative;
    /// The absolute path the file had when it was quarantined.
    QString original;
    uint64_t size = 0;
    QDateTime modified;
    QString fileUID;
    QString materialUID;
    QString clipName;
    QString project;
};

/// A quarantine set: the folder <volume root>/.vesk-quarantine/<id>/ holding renamed
/// files at their paths relative to the volume root, and its manifest.json.
///
/// The manifest stays cheap for thousands of files: before a file is renamed, its line
/// is appended to manifest.journal and synced (a batch of files at a time, one sync for
/// all), and manifest.json is written whole only when the set is made and when the
/// action ends. A set read after a crash is rebuilt
/// from both, keeping exactly the entries whose file lies in the set folder, since a
/// rename either happened or did not. Whoever changes a set holds a lock on its
/// folder; a set locked by someone else is read but not rewritten ("busy").
class VeskQuarantineSet {
public:
    /// What a restore did: paths put back, and a line per file left in quarantine.
    struct Restored {
        QStringList restored;
        QStringList kept;
    };

    VeskQuarantineSet(VeskQuarantineSet &&) noexcept;
    VeskQuarantineSet &operator=(VeskQuarantineSet &&) noexcept;
    ~VeskQuarantineSet();

    /// The folder below a volume root that holds its sets.
    static QString folderName() { return QStringLiteral(".vesk-quarantine"); }
    /// Whether the text has the form of a set id (YYYY-MM-DD_HHMMSS_hhhhhh).
    static bool isValidId(const QString &id);
    /// The time an id was made (local time); invalid for a text that is no id.
    static QDateTime timeOfId(const QString &id);

    /// Makes a new, empty set under the volume root, with its manifest written.
    static std::optional<VeskQuarantineSet> create(const QString &root, const QDateTime &time, QString *error);
    /// Reads the set; none, with the reason, when it is not there.
    static std::optional<VeskQuarantineSet> open(const QString &root, const QString &id, QString *error);
    /// Every set under the volume root, oldest first.
    static std::vector<VeskQuarantineSet> list(const QString &root);

    /// Records the entries in the journal, with one sync for all: files about to move.
    bool journal(const std::vector<VeskQuarantineEntry> &entries, QString *error);
    /// Records the entry unless it was journaled, then renames its original into the
    /// set, never over anything. False with the reason when the file stays where it was.
    bool moveIn(const VeskQuarantineEntry &entry, QString *error);
    /// Writes the manifest of what was moved in and drops the journal.
    bool finish(QString *error);
    /// Renames every file back to its place below the root, never over anything; files
    /// that cannot go back stay listed. A set left empty is removed.
    Restored restore();
    /// Removes the set and every file in it for good.
    bool purge(QString *error);

    const QString &id() const { return m_id; }
    const QString &root() const { return m_root; }
    QString folder() const;
    const QDateTime &time() const { return m_time; }
    /// The time as ISO 8601 with its offset from UTC.
    static QString isoTime(const QDateTime &time);
    const std::vector<VeskQuarantineEntry> &entries() const { return m_entries; }
    uint64_t size() const;
    /// Another action is changing the set now.
    bool isBusy() const { return m_lockFd < 0; }
    /// Removes the manifest and the empty folders; false when files remain.
    bool removeIfEmpty();

private:
    VeskQuarantineSet(QString root, QString id);
    bool lock(bool wait);
    bool readManifest(QString *error);
    void readJournal();
    void keepPresentEntries();
    bool writeManifest(QString *error);
    bool restoreEntry(const VeskQuarantineEntry &entry, QString *reason);

    QString m_root;
    QString m_id;
    QDateTime m_time;
    std::vector<VeskQuarantineEntry> m_entries;
    QSet<QString> m_journaled;
    int m_lockFd = -1;
    int m_journalFd = -1;
};
