#include "CliPlan.h"

#include "CliIO.h"

#include "actions/VeskActionOperation.h"
#include "actions/VeskActionSource.h"
#include "platform/VeskFileOperations.h"

#include <QDir>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

namespace {

// What the action would do with the item; planned holds the targets of the items
// before, so that two items with one target show as a clash.
CliPlan::Step planStep(const VeskActionOperation &operation, const VeskDatabaseItem &item, const QString &overwrite,
    QHash<QString, QString> &planned)
{
    const QString &action = operation.Action_Properties().Action;
    const VeskActionSource checked = VeskActionSource::inspect(item);
    CliPlan::Step step { action.toLower(), checked.path(), {}, item.DB_FileExists() ? item.DB_filesize() : std::nullopt,
        {} };
    const auto stop = [&step](const QString &kind, const QString &reason) {
        step.action = kind;
        step.reason = reason;
        return step;
    };
    if (action == QLatin1String("Delete") && !item.DB_FileExists())
        return stop(QStringLiteral("skip"), QStringLiteral("the file is missing"));
    if (const QString refusal = checked.refusal(action); !refusal.isEmpty())
        return stop(QStringLiteral("fail"), refusal);
    if (action == QLatin1String("Delete"))
        return step;
    const QString folder = operation.targetFolderForItem(item);
    if (VeskActionOperation::areSourceAndTargetEqual(step.source, folder))
        return stop(QStringLiteral("skip"), QStringLiteral("the target folder is its own folder"));
    step.target = VeskActionOperation::targetFileIn(folder, step.source);
    const QString key = QDir::cleanPath(step.target);
    if (const auto earlier = planned.constFind(key); earlier != planned.constEnd())
        return stop(QStringLiteral("fail"), QStringLiteral("%1 is the target of %2 too").arg(step.target, *earlier));
    if (VeskActionOperation::isSameFile(step.source, step.target))
        return stop(QStringLiteral("skip"), QStringLiteral("source and target are the same file"));
    planned.insert(key, step.source);
    if (!VeskFileOperations::exists(step.target))
        return step;
    if (overwrite == QLatin1String("yes"))
        step.reason = QStringLiteral("replaces the file there");
    else if (overwrite == QLatin1String("no") || isatty(STDIN_FILENO) != 1)
        return stop(QStringLiteral("skip"), QStringLiteral("%1 exists").arg(step.target));
    else
        step.reason = QStringLiteral("exists: asks first");
    return step;
}

QJsonValue orNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

} // namespace

CliPlan::CliPlan(const VeskActionProperties &properties, const QString &overwrite)
{
    const VeskActionOperation operation(properties);
    QHash<QString, QString> planned;
    for (const VeskItemRef &item : properties.items.value_or(std::vector<VeskItemRef> {}))
        m_steps.push_back(planStep(operation, *item, overwrite, planned));
}

QString CliPlan::text(const Step &step)
{
    if (step.action == QLatin1String("skip"))
        return QStringLiteral("%1: skipped (%2)").arg(step.source, step.reason);
    if (step.action == QLatin1String("fail"))
        return QStringLiteral("%1: would fail (%2)").arg(step.source, step.reason);
    const QString line
        = step.source + QStringLiteral(" -> ") + (step.target.isEmpty() ? QStringLiteral("trash") : step.target);
    return step.reason.isEmpty() ? line : QStringLiteral("%1 (%2)").arg(line, step.reason);
}

QString CliPlan::jsonLine(const Step &step)
{
    const QJsonObject line { { QStringLiteral("action"), step.action }, { QStringLiteral("source"), step.source },
        { QStringLiteral("target"), orNull(step.target) },
        { QStringLiteral("size"), step.size ? QJsonValue(qint64(*step.size)) : QJsonValue() },
        { QStringLiteral("reason"), orNull(step.reason) } };
    return QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact));
}

void CliPlan::print(bool json) const
{
    for (const Step &step : m_steps)
        CliIO::out() << (json ? jsonLine(step) : text(step)) << '\n';
    CliIO::out() << Qt::flush;
}
