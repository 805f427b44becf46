#pragma once

#include "actions/VeskQuarantineSet.h"

#include <QDateTime>
#include <QString>

#include <map>
#include <memory>
#include <vector>

class VeskDatabaseItem;

/// The quarantine of one action: each file is renamed into a set on its own volume,
/// one set per volume root, all made at the action's time.
class VeskQuarantine {
public:
    /// Where a file goes: its volume root and its path below it.
    struct Place {
        QString root;
        QString relative;
        QString error; // why the file has no place; the rest is empty then
    };

    explicit VeskQuarantine(QDateTime time);

    /// The volume root of a file: the folder holding the "Avid MediaFiles" or "OMFI
    /// MediaFiles" folder it lies in, or else the parent of its own folder; both taken
    /// with every link resolved.
    static Place placeOf(const QString &path);
    /// The path with every link resolved, or empty; names keep their exact bytes.
    static QString realPath(const QString &path);
    /// The volume roots of the items' folders, each once, in order.
    static QStringList volumeRootsOf(const std::vector<std::shared_ptr<VeskDatabaseItem>> &items);

    /// Journals the regular files among the items, with one sync per set, so that
    /// quarantining them one by one next needs no sync of its own.
    void prepare(const std::vector<std::shared_ptr<VeskDatabaseItem>> &items);
    /// Renames the item's file (at path) into the set of its volume. False with the
    /// reason when the file stays where it was.
    bool quarantine(const VeskDatabaseItem &item, const QString &path, QString *error);
    /// Writes the manifests of the sets made and removes those left empty; the reasons
    /// of those that failed.
    QStringList finish();
    /// The folders of the sets that hold files.
    QStringList folders() const;

private:
    VeskQuarantineSet *setFor(const QString &root, QString *error);
    /// The entry for the file at path, and its set; none with the reason.
    VeskQuarantineSet *entryFor(
        const VeskDatabaseItem &item, const QString &path, VeskQuarantineEntry &entry, QString *error);

    QDateTime m_time;
    std::map<QString, VeskQuarantineSet> m_sets;
};
