#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

/// What one file action does: the set-up sheet fills it in, the action's operation
/// keeps its own unchanging copy. The members carry the names of the keys the two
/// exchange and start with the sheet's initial values.
struct VeskActionProperties {
    /// "Copy", "Move", "Delete" or "Quarantine" for the items; "Verify" for the
    /// Destination's ASC MHL history; "Restore" or "Purge" for the quarantine sets.
    /// Compared exactly; anything else does nothing.
    QString Action = QStringLiteral("Copy");
    /// The items to act on, in order; absent when nothing was selected.
    std::optional<std::vector<VeskItemRef>> items;
    /// Root of the target layout, possibly with "~"; absent when it could not be read.
    std::optional<QString> Destination = QStringLiteral("Unknown");
    bool Create_projects_folders = true;
    bool Create_mxf_folders = true;
    bool Keep_original_folders = false;
    bool Keep_pmr = false;
    bool Im_sure = false;
    /// The quarantine set folders that Restore and Purge act on.
    QStringList Sets;
    /// Read every copy back before it counts as done (a move across volumes always does).
    bool Verify_copies = false;
    /// Record what a copy or move wrote in the destination's ASC MHL history.
    bool Write_mhl = true;

    /// Expands a leading "~" or "~user" to that user's home folder.
    static QString expandTilde(const QString &path);
    /// The destination as an absolute folder path without a trailing separator: tilde
    /// expanded, taken from the current folder when relative.
    static QString normalizedDestination(const QString &path);
    /// Whether the action writes into a destination folder (copy and move).
    static bool hasDestination(const QString &action);
};
