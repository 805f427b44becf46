#include "QuarantineCommand.h"

#include "ActionCommand.h"
#include "CliIO.h"
#include "CliOptions.h"
#include "CliTable.h"

#include "actions/VeskQuarantineSet.h"
#include "report/VeskFileSize.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

namespace {

QString csvField(QString text)
{
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// "1 file, 1.92 GB".
QString filesAndSize(uint64_t files, uint64_t bytes)
{
    return QStringLiteral("%1 file%2, %3")
        .arg(files)
        .arg(files == 1 ? "" : "s")
        .arg(VeskFileSize::toHumanBytes(double(bytes)));
}

QString listed(const std::vector<VeskQuarantineSet> &sets, const QString &format)
{
    CliTable table(
        { { QStringLiteral("ID") }, { QStringLiteral("Root") }, { QStringLiteral("Time"), CliTable::Kind::Date },
            { QStringLiteral("Files"), CliTable::Kind::Number }, { QStringLiteral("Size"), CliTable::Kind::Number } });
    QString text = format == QLatin1String("csv") ? QStringLiteral("id;root;time;files;size\n") : QString();
    for (const VeskQuarantineSet &set : sets) {
        const QString time = VeskQuarantineSet::isoTime(set.time());
        const QString files = QString::number(set.entries().size());
        if (format == QLatin1String("json"))
            text += QString::fromUtf8(QJsonDocument(
                        QJsonObject { { QStringLiteral("id"), set.id() }, { QStringLiteral("root"), set.root() },
                            { QStringLiteral("time"), time }, { QStringLiteral("files"), qint64(set.entries().size()) },
                            { QStringLiteral("size"), qint64(set.size()) } })
                                          .toJson(QJsonDocument::Compact))
                + QLatin1Char('\n');
        else if (format == QLatin1String("csv"))
            text += QStringList { set.id(), csvField(set.root()), time, files, QString::number(set.size()) }.join(
                        QLatin1Char(';'))
                + QLatin1Char('\n');
        else
            table.addRow({ set.id(), set.root(), time, files, VeskFileSize::toHumanBytes(double(set.size())) });
    }
    return format == QLatin1String("table") ? table.layout(CliTable::terminalWidth()) : text;
}

} // namespace

int QuarantineCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    return parser.isSet(QStringLiteral("list")) ? list(parser) : ActionCommand::run(arguments);
}

int QuarantineCommand::list(const QCommandLineParser &parser)
{
    const QStringList roots = parser.positionalArguments();
    if (roots.isEmpty())
        return CliOptions::usageError(CliOptions::Quarantine, QStringLiteral("--list needs a volume root"));
    QString format = parser.value(QStringLiteral("format"));
    if (format == QLatin1String("text"))
        return CliOptions::usageError(CliOptions::Quarantine, QStringLiteral("--list takes table, csv or json"));
    if (format.isEmpty())
        format = isatty(STDOUT_FILENO) == 1 ? QStringLiteral("table") : QStringLiteral("csv");
    std::vector<VeskQuarantineSet> sets;
    int status = CliIO::Success;
    for (const QString &root : roots) {
        if (!QFileInfo(root).isDir()) {
            CliIO::error(QStringLiteral("%1 is no folder").arg(root));
            status = CliIO::Unreadable;
        }
        for (VeskQuarantineSet &set : VeskQuarantineSet::list(root))
            sets.push_back(std::move(set));
    }
    CliIO::out() << listed(sets, format) << Qt::flush;
    return status;
}

int QuarantineCommand::restore(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    const QStringList ids = parser.positionalArguments();
    if (ids.size() != 1 || !parser.isSet(QStringLiteral("root")))
        return CliOptions::usageError(CliOptions::Restore, QStringLiteral("give one set ID and --root DIR"));
    if (!VeskQuarantineSet::isValidId(ids[0]))
        return CliOptions::usageError(CliOptions::Restore, QStringLiteral("%1 is no quarantine set id").arg(ids[0]));
    QString error;
    std::optional<VeskQuarantineSet> set
        = VeskQuarantineSet::open(parser.value(QStringLiteral("root")), ids[0], &error);
    if (!set) {
        CliIO::error(error);
        return CliIO::Unreadable;
    }
    const VeskQuarantineSet::Restored restored = set->restore();
    for (const QString &path : restored.restored)
        CliIO::out() << "restored " << path << '\n';
    for (const QString &line : restored.kept)
        CliIO::out() << line << '\n';
    CliIO::out() << QStringLiteral("restored %1, left in quarantine %2\n")
                        .arg(restored.restored.size())
                        .arg(restored.kept.size())
                 << Qt::flush;
    return restored.kept.isEmpty() ? CliIO::Success : CliIO::Unreadable;
}

std::vector<VeskQuarantineSet> QuarantineCommand::chosenSets(const QCommandLineParser &parser, int *status)
{
    const QString root = parser.value(QStringLiteral("root"));
    std::vector<VeskQuarantineSet> chosen;
    if (parser.isSet(QStringLiteral("older-than"))) {
        const QDateTime before
            = QDateTime::currentDateTime().addDays(-parser.value(QStringLiteral("older-than")).toLongLong());
        for (VeskQuarantineSet &set : VeskQuarantineSet::list(root))
            if (set.time() < before)
                chosen.push_back(std::move(set));
        return chosen;
    }
    QString error;
    if (std::optional<VeskQuarantineSet> set
        = VeskQuarantineSet::open(root, parser.positionalArguments().value(0), &error))
        chosen.push_back(std::move(*set));
    else {
        CliIO::error(error);
        *status = CliIO::Unreadable;
    }
    return chosen;
}

QString QuarantineCommand::purgeUsage(const QCommandLineParser &parser)
{
    const QStringList ids = parser.positionalArguments();
    const bool byAge = parser.isSet(QStringLiteral("older-than"));
    bool isNumber = false;
    const long long days = parser.value(QStringLiteral("older-than")).toLongLong(&isNumber);
    QString problem;
    if (!parser.isSet(QStringLiteral("root")) || ids.size() != (byAge ? 0 : 1))
        problem = QStringLiteral("give --root DIR and either one set ID or --older-than DAYS");
    else if (byAge && (!isNumber || days < 0))
        problem = QStringLiteral("--older-than takes a number of days");
    else if (!byAge && !VeskQuarantineSet::isValidId(ids[0]))
        problem = QStringLiteral("%1 is no quarantine set id").arg(ids[0]);
    else if (!parser.isSet(QStringLiteral("yes")) && !CliIO::stdinIsTerminal())
        problem = QStringLiteral(
            "purge deletes files for good and standard input is no terminal to confirm on: give --yes");
    return problem;
}

int QuarantineCommand::purge(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    if (const QString problem = purgeUsage(parser); !problem.isEmpty())
        return CliOptions::usageError(CliOptions::Purge, problem);
    int status = CliIO::Success;
    std::vector<VeskQuarantineSet> sets = chosenSets(parser, &status);
    uint64_t files = 0, bytes = 0;
    for (const VeskQuarantineSet &set : sets) {
        files += set.entries().size();
        bytes += set.size();
    }
    const QString what = QStringLiteral("%1 set%2 (%3)")
                             .arg(sets.size())
                             .arg(sets.size() == 1 ? "" : "s")
                             .arg(filesAndSize(files, bytes));
    if (!sets.empty() && !parser.isSet(QStringLiteral("yes"))
        && !CliIO::confirm(QStringLiteral("Delete %1 for good?").arg(what))) {
        CliIO::error(QStringLiteral("nothing was changed"));
        return CliIO::Unreadable;
    }
    for (VeskQuarantineSet &set : sets) {
        QString error;
        if (set.purge(&error))
            CliIO::out()
                << QStringLiteral("purged %1 (%2)\n").arg(set.id(), filesAndSize(set.entries().size(), set.size()));
        else {
            CliIO::error(error);
            status = CliIO::Unreadable;
        }
    }
    if (sets.empty())
        CliIO::out() << "no quarantine set to purge\n";
    CliIO::out() << Qt::flush;
    return status;
}
