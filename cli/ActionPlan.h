#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class VeskActionOperation;
class VeskDatabaseItem;
struct VeskActionProperties;

/// What a file action would do with each of its items, worked out without changing
/// anything: the target or the reason for a skip or a failure, the index and database
/// files that new target folders receive, and the totals that a confirmation shows.
class ActionPlan {
public:
    struct Step {
        enum class Kind { Act, Skip, Fail, Index } kind;
        QString source;
        QString target; // the trash folder for a deletion, the file in quarantine
        std::optional<uint64_t> size; // none when the file is missing
        QString reason; // why it is skipped or fails, or a note on the target
    };

    /// overwrite is the --overwrite mode; askable whether "ask" can ask on a terminal.
    ActionPlan(const VeskActionProperties &properties, const QString &overwrite, bool askable);

    const std::vector<Step> &steps() const { return m_steps; }
    /// One line per step, then the totals.
    QString text() const;
    /// One JSON object per step: action (copy, move, delete, skip, fail, or index for an
    /// index or database file a new folder receives), source, target, size and reason.
    QString jsonLines() const;
    /// What the action does, after its verb: "3 files, 2.91 GB, to /dest" or, for a
    /// deletion, "3 files, 2.91 GB, into the trash (FOLDER)".
    QString totals() const;

private:
    Step planItem(const VeskActionOperation &operation, const VeskDatabaseItem &item);
    Step planTarget(const VeskActionOperation &operation, const VeskDatabaseItem &item, Step step);
    Step planQuarantine(Step step);
    void planIndexFiles(const QString &sourceFolder, const QString &targetFolder);
    static QString lineFor(const Step &step);

    QString m_action;
    QString m_destination;
    QString m_overwrite;
    bool m_askable;
    std::vector<Step> m_steps;
    QStringList m_plannedTargets;
    QStringList m_newFolders;
    QStringList m_intoFolders; // the trash folders, or the quarantine folders
};
