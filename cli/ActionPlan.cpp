#include "ActionPlan.h"

#include "CliTrash.h"

#include "actions/VeskActionOperation.h"
#include "actions/VeskActionSource.h"
#include "actions/VeskQuarantine.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileOperations.h"
#include "report/VeskFileSize.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The files a new media folder receives from its first item's folder, so that the
// editing system sees a media folder there.
const char *const kIndexFiles[] = { "msmFMID.pmr", "msmMMOB.mdb" };

using Kind = ActionPlan::Step::Kind;

ActionPlan::Step marked(ActionPlan::Step step, Kind kind, const QString &reason = {})
{
    step.kind = kind;
    step.reason = reason;
    return step;
}

QJsonValue orNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

} // namespace

ActionPlan::ActionPlan(const VeskActionProperties &properties, const QString &overwrite, bool askable)
    : m_action(properties.Action)
    , m_destination(properties.Destination.value_or(QString()))
    , m_overwrite(overwrite)
    , m_askable(askable)
{
    const VeskActionOperation operation(properties);
    for (const VeskItemRef &item : properties.items.value_or(std::vector<VeskItemRef> {})) {
        const Step step = planItem(operation, *item);
        m_steps.push_back(step);
        if (step.kind == Kind::Act && VeskActionProperties::hasDestination(m_action))
            planIndexFiles(QFileInfo(step.source).path(), QFileInfo(step.target).path());
    }
}

ActionPlan::Step ActionPlan::planItem(const VeskActionOperation &operation, const VeskDatabaseItem &item)
{
    const VeskActionSource checked = VeskActionSource::inspect(item);
    Step step { Kind::Skip, checked.path(), {}, item.DB_FileExists() ? item.DB_filesize() : std::nullopt, {} };
    const bool hasDestination = VeskActionProperties::hasDestination(m_action);
    if (!hasDestination && !item.DB_FileExists())
        return marked(step, Kind::Skip, QStringLiteral("the file is missing"));
    if (const QString refusal = checked.refusal(m_action); !refusal.isEmpty())
        return marked(step, Kind::Fail, refusal);
    if (hasDestination)
        return planTarget(operation, item, step);
    if (m_action == QLatin1String("Quarantine"))
        return planQuarantine(step);
    step.kind = Kind::Act;
    step.target = CliTrash::folderFor(step.source);
    if (!m_intoFolders.contains(step.target))
        m_intoFolders << step.target;
    return step;
}

ActionPlan::Step ActionPlan::planTarget(const VeskActionOperation &operation, const VeskDatabaseItem &item, Step step)
{
    const QString folder = operation.targetFolderForItem(item);
    if (VeskActionOperation::areSourceAndTargetEqual(step.source, folder))
        return marked(step, Kind::Skip, QStringLiteral("the target folder is its own folder"));
    step.target = VeskActionOperation::targetFileIn(folder, step.source);
    const QString key = QDir::cleanPath(step.target);
    for (const Step &earlier : m_steps)
        if (earlier.kind == Kind::Act && QDir::cleanPath(earlier.target) == key)
            return marked(
                step, Kind::Fail, QStringLiteral("%1 is the target of %2 too").arg(step.target, earlier.source));
    if (VeskActionOperation::isSameFile(step.source, step.target))
        return marked(step, Kind::Skip, QStringLiteral("source and target are the same file"));
    if (!VeskFileOperations::exists(step.target))
        return marked(step, Kind::Act);
    if (m_overwrite == QLatin1String("yes"))
        return marked(step, Kind::Act, QStringLiteral("replaces the file there"));
    if (m_overwrite == QLatin1String("no") || !m_askable)
        return marked(step, Kind::Skip, QStringLiteral("%1 exists").arg(step.target));
    return marked(step, Kind::Act, QStringLiteral("exists: asks first"));
}

// The set is made when the action runs; until then its folder is named NEW.
ActionPlan::Step ActionPlan::planQuarantine(Step step)
{
    const VeskQuarantine::Place place = VeskQuarantine::placeOf(step.source);
    if (!place.error.isEmpty())
        return marked(step, Kind::Fail, place.error);
    const QString sets = place.root + QLatin1Char('/') + VeskQuarantineSet::folderName();
    if (VeskFileOperations::volumeOf(step.source, nullptr) != VeskFileOperations::volumeOf(place.root, nullptr))
        return marked(step, Kind::Fail, QStringLiteral("it is on another file system than %1").arg(sets));
    step.target = sets + QStringLiteral("/NEW/") + place.relative;
    if (!m_intoFolders.contains(sets))
        m_intoFolders << sets;
    return marked(step, Kind::Act);
}

void ActionPlan::planIndexFiles(const QString &sourceFolder, const QString &targetFolder)
{
    if (m_newFolders.contains(targetFolder) || VeskDirectory::isFolder(targetFolder))
        return;
    m_newFolders << targetFolder;
    for (const char *name : kIndexFiles) {
        const QString from = sourceFolder + QLatin1Char('/') + QLatin1String(name);
        if (VeskFileOperations::exists(from))
            m_steps.push_back({ Kind::Index, from, targetFolder + QLatin1Char('/') + QLatin1String(name),
                uint64_t(QFileInfo(from).size()), {} });
    }
}

QString ActionPlan::lineFor(const Step &step)
{
    switch (step.kind) {
    case Kind::Act:
        return QStringLiteral("%1 -> %2").arg(step.source, step.target)
            + (step.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(step.reason));
    case Kind::Skip: return QStringLiteral("%1: skipped (%2)").arg(step.source, step.reason);
    case Kind::Fail: return QStringLiteral("%1: would fail (%2)").arg(step.source, step.reason);
    case Kind::Index: return QStringLiteral("writes %1 (a copy of %2)").arg(step.target, step.source);
    }
    return {};
}

QString ActionPlan::text() const
{
    QString text;
    qsizetype skipped = 0;
    qsizetype failing = 0;
    for (const Step &step : m_steps) {
        text += lineFor(step) + QLatin1Char('\n');
        skipped += step.kind == Kind::Skip;
        failing += step.kind == Kind::Fail;
    }
    return text
        + QStringLiteral("Would %1 %2; %3 skipped, %4 would fail.\n")
              .arg(m_action.toLower(), totals())
              .arg(skipped)
              .arg(failing);
}

QString ActionPlan::jsonLines() const
{
    QString lines;
    for (const Step &step : m_steps) {
        const QString action = step.kind == Kind::Act ? m_action.toLower()
            : step.kind == Kind::Skip                 ? QStringLiteral("skip")
            : step.kind == Kind::Fail                 ? QStringLiteral("fail")
                                                      : QStringLiteral("index");
        const QJsonObject line { { QStringLiteral("action"), action }, { QStringLiteral("source"), step.source },
            { QStringLiteral("target"), orNull(step.target) },
            { QStringLiteral("size"), step.size ? QJsonValue(qint64(*step.size)) : QJsonValue() },
            { QStringLiteral("reason"), orNull(step.reason) } };
        lines += QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
    }
    return lines;
}

QString ActionPlan::totals() const
{
    qsizetype files = 0;
    uint64_t bytes = 0;
    for (const Step &step : m_steps) {
        if (step.kind != Kind::Act)
            continue;
        ++files;
        bytes += step.size.value_or(0);
    }
    QString text = QStringLiteral("%1 file%2, %3")
                       .arg(files)
                       .arg(files == 1 ? "" : "s")
                       .arg(VeskFileSize::toHumanBytes(double(bytes)));
    if (VeskActionProperties::hasDestination(m_action))
        return text + QStringLiteral(", to ") + m_destination;
    if (m_intoFolders.isEmpty())
        return text;
    return text
        + QString::fromLatin1(
            m_action == QLatin1String("Quarantine") ? ", into quarantine (%1)" : ", into the trash (%1)")
              .arg(m_intoFolders.join(QStringLiteral(", ")));
}
