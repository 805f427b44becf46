#include "ScanCommand.h"

#include "CliIO.h"
#include "CliOptions.h"
#include "ScanOptions.h"

#include "base/VeskConsole.h"
#include "model/VeskColumns.h"
#include "model/VeskCore.h"
#include "report/ExportMenuTexts.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

const QStringList kFormats
    = { QStringLiteral("csv"), QStringLiteral("csv-comma"), QStringLiteral("html"), QStringLiteral("json") };

// Columns whose cells have an export text, in the table's default order.
QStringList defaultColumns()
{
    QStringList ids;
    for (const VeskColumn &column : VeskColumns::databaseColumns())
        if (column.identifier != QLatin1String("IconCellID") && column.identifier != QLatin1String("hash")
            && column.identifier != QLatin1String("sourceFileID") && column.identifier != QLatin1String("sourceTapeID"))
            ids.push_back(column.identifier);
    return ids;
}

QString jsonText(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// One JSON object per row; keys in column order, null for a missing text.
QString jsonLines(const ExportTable &table, const ExportMenuProtocol &source)
{
    QString lines;
    for (uint64_t row = 0; row < table.rowCount; ++row) {
        QStringList fields;
        for (const QString &column : table.columnIds) {
            const std::optional<QString> value = source.NSStringValueForTableColumn(table.identifier, column, row);
            fields.push_back(jsonText(column) + QLatin1Char(':') + (value ? jsonText(*value) : QStringLiteral("null")));
        }
        lines += QLatin1Char('{') + fields.join(QLatin1Char(',')) + QLatin1String("}\n");
    }
    return lines;
}

QString render(const QString &format, const ExportTable &table, const ExportMenuProtocol &source)
{
    if (format == QLatin1String("csv"))
        return ExportMenuTexts::genCsv(table, source, QStringLiteral(";"));
    if (format == QLatin1String("csv-comma"))
        return ExportMenuTexts::genCsv(table, source, QStringLiteral(","));
    if (format == QLatin1String("html"))
        return ExportMenuTexts::genHtml(table, source);
    return jsonLines(table, source);
}

bool writeOutput(const QString &path, const QString &text)
{
    if (path.isEmpty()) {
        CliIO::out() << text << Qt::flush;
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        CliIO::error(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int ScanCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    const QString format = QStringLiteral("format");
    const QString columns = QStringLiteral("columns");
    const QString summary = QStringLiteral("summary");
    const QString output = QStringLiteral("output");
    const QString log = QStringLiteral("log");
    const auto usageError = [](const QString &message) { return CliOptions::usageError(CliOptions::Scan, message); };
    ScanOptions scanOptions;
    if (!kFormats.contains(parser.value(format)))
        return usageError(QStringLiteral("unknown format: %1").arg(parser.value(format)));
    QStringList columnIds = defaultColumns();
    if (parser.isSet(columns)) {
        columnIds = parser.value(columns).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &id : columnIds)
            if (!VeskColumns::databaseColumn(id))
                return usageError(QStringLiteral("unknown column: %1").arg(id));
    }
    if (const QString problem = scanOptions.read(parser, arguments); !problem.isEmpty())
        return usageError(problem);

    VeskCore &core = VeskCore::sharedCore();
    const int status = scanOptions.run(core);
    // On standard error, so that the rows and the summary stay machine-readable.
    if (const QString unknown = core.unknownReferenceSummary(); status == CliIO::Success && !unknown.isEmpty())
        CliIO::error(unknown);
    if (status == CliIO::Success) {
        ExportTable table = core.exportTable(
            parser.isSet(summary) ? QStringLiteral("ProjectSummaryID") : QStringLiteral("DatabaseTableID"),
            QStringLiteral("Vesk"));
        if (!parser.isSet(summary)) {
            table.columnTitles.clear();
            for (const QString &id : columnIds)
                table.columnTitles.push_back(VeskColumns::databaseColumn(id)->title);
            table.columnIds = columnIds;
        }
        if (!writeOutput(parser.value(output), render(parser.value(format), table, core)))
            return CliIO::Unreadable;
    }
    if (parser.isSet(log))
        CliIO::err() << CliIO::withoutSources(VeskConsole::sharedInstance()->text()) << Qt::flush;
    return status;
}
