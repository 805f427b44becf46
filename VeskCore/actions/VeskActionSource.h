#pragma once

#include "model/VeskDatabaseItem.h"
#include "platform/VeskFileOperations.h"

#include <QString>

#include <optional>

/// The file an action item stands for, looked at just before the action touches it:
/// the item's name must be one path component inside the folder the item was found in,
/// and only regular files (or, for copy and delete, links) are acted on.
class VeskActionSource {
public:
    static VeskActionSource inspect(const VeskDatabaseItem &item);

    /// Why the action ("Copy", "Move", "Delete" or "Quarantine") must leave this source alone; empty
    /// when it may go ahead.
    QString refusal(const QString &action) const;
    const QString &path() const { return m_path; }
    bool isLink() const { return m_entry.kind == VeskFileOperations::Kind::Link; }
    const QString &linkTarget() const { return m_entry.linkTarget; }
    /// The file whose data a copy takes: the source, or what its link leads to.
    std::optional<VeskFileOperations::Identity> dataIdentity() const;

private:
    QString m_path;
    QString m_folder;
    QString m_name;
    VeskFileOperations::Entry m_entry;
};
