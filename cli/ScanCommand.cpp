#include "ScanCommand.h"

#include "CliIO.h"
#include "CliOptions.h"
#include "CliRows.h"
#include "CliTable.h"
#include "ScanOptions.h"

#include "base/VeskConsole.h"
#include "model/VeskColumns.h"
#include "model/VeskCore.h"
#include "report/ExportMenuTexts.h"

#include <QCommandLineParser>
#include <QSaveFile>

#include <unistd.h>
#include <variant>

namespace {

const QStringList kFormats = { QStringLiteral("csv"), QStringLiteral("csv-comma"), QStringLiteral("html"),
    QStringLiteral("json"), QStringLiteral("table") };
// What the terminal table shows unless --columns says otherwise.
const QStringList kTableFields = { QStringLiteral("clipName"), QStringLiteral("project"), QStringLiteral("size"),
    QStringLiteral("created"), QStringLiteral("path") };

QString tableText(const ExportTable &table, const ExportMenuProtocol &source)
{
    std::vector<CliTable::Column> columns;
    for (qsizetype i = 0; i < table.columnIds.size(); ++i) {
        const QString &field = table.columnIds[i];
        columns.push_back({ table.columnTitles[i],
            field == QLatin1String("size") || field == QLatin1String("files") ? CliTable::Kind::Number
                : field == QLatin1String("created")                           ? CliTable::Kind::Date
                                                                              : CliTable::Kind::Text });
    }
    CliTable text(columns);
    for (uint64_t row = 0; row < table.rowCount; ++row) {
        QStringList cells;
        for (const QString &field : table.columnIds)
            cells.push_back(source.NSStringValueForTableColumn(table.identifier, field, row).value_or(QString()));
        text.addRow(cells);
    }
    return text.layout(CliTable::terminalWidth());
}

QString render(const QString &format, const ExportTable &table, const CliRows &rows)
{
    if (format == QLatin1String("csv"))
        return ExportMenuTexts::genCsv(table, rows, QStringLiteral(";"));
    if (format == QLatin1String("csv-comma"))
        return ExportMenuTexts::genCsv(table, rows, QStringLiteral(","));
    if (format == QLatin1String("html"))
        return ExportMenuTexts::genHtml(table, rows);
    if (format == QLatin1String("table"))
        return tableText(table, rows);
    return rows.jsonLines(table);
}

QStringList defaultFields(bool summary, const QString &format)
{
    if (summary)
        return CliRows::summaryFieldNames();
    if (format == QLatin1String("table"))
        return kTableFields;
    // CSV and HTML keep the columns of the table; JSON adds what the table leaves out.
    return format == QLatin1String("json") ? CliRows::mediaFieldNames()
                                           : VeskColumns::names(VeskColumns::databaseColumns());
}

} // namespace

QString ScanCommand::format(const QCommandLineParser &parser)
{
    const bool toTerminal = !parser.isSet(QStringLiteral("output")) && isatty(STDOUT_FILENO) == 1;
    return parser.isSet(QStringLiteral("format")) ? parser.value(QStringLiteral("format"))
                                                  : QLatin1String(toTerminal ? "table" : "csv");
}

std::variant<QStringList, QString> ScanCommand::fields(
    const QCommandLineParser &parser, const CliRows &rows, bool summary, const QString &format)
{
    const QString names = parser.isSet(QStringLiteral("columns"))
        ? parser.value(QStringLiteral("columns"))
        : defaultFields(summary, format).join(QLatin1Char(','));
    QStringList fields;
    for (const QString &name : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString field = rows.fieldName(name.trimmed());
        // A field twice would be a JSON object with one key twice.
        if (field.isEmpty() || fields.contains(field))
            return QStringLiteral("unknown or repeated column: %1").arg(name);
        fields.push_back(field);
    }
    if (fields.isEmpty())
        return QStringLiteral("no column given");
    return fields;
}

bool ScanCommand::print(
    const QCommandLineParser &parser, const CliRows &rows, const QStringList &fields, const QString &format)
{
    return write(parser, render(format, rows.exportTable(fields), rows));
}

bool ScanCommand::write(const QCommandLineParser &parser, const QString &text)
{
    return write(parser, [&text](QTextStream &out) { out << text; });
}

bool ScanCommand::write(const QCommandLineParser &parser, const std::function<void(QTextStream &)> &writeTo)
{
    const QString path = parser.value(QStringLiteral("output"));
    if (path.isEmpty()) {
        writeTo(CliIO::out());
        CliIO::out() << Qt::flush;
        if (CliIO::out().status() == QTextStream::Ok)
            return true;
        CliIO::error(QStringLiteral("cannot write the rows to standard output"));
        return false;
    }
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (written) {
        QTextStream out(&file);
        writeTo(out);
        out.flush();
        written = out.status() == QTextStream::Ok && file.commit();
    }
    if (!written) {
        // A write cut short by a full disk can leave the file without an error of its own.
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                                    : QStringLiteral("it could not be written whole");
        CliIO::error(QStringLiteral("cannot write %1: %2").arg(path, reason));
        return false;
    }
    return true;
}

int ScanCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    const auto usageError = [](const QString &message) { return CliOptions::usageError(CliOptions::Scan, message); };
    const QString chosenFormat = format(parser);
    ScanOptions scanOptions;
    VeskCore &core = VeskCore::sharedCore();
    const bool isSummary = parser.isSet(QStringLiteral("summary"));
    const CliRows rows(
        core, isSummary ? CliRows::Table::Summary : CliRows::Table::Media, parser.isSet(QStringLiteral("bytes")));
    const auto chosenFields = fields(parser, rows, isSummary, chosenFormat);
    if (const QString *problem = std::get_if<QString>(&chosenFields))
        return usageError(*problem);
    if (const QString problem = scanOptions.read(parser, arguments); !problem.isEmpty())
        return usageError(problem);

    const int status = scanOptions.run(core);
    const bool scanned = status == CliIO::Success || status == CliIO::NothingMatched;
    // On standard error, so that the rows and the summary stay machine-readable.
    if (const QString unknown = core.unknownReferenceSummary(); scanned && !unknown.isEmpty())
        CliIO::error(unknown);
    if (scanned && !print(parser, rows, std::get<QStringList>(chosenFields), chosenFormat))
        return CliIO::Unreadable;
    if (parser.isSet(QStringLiteral("log")))
        CliIO::err() << CliIO::withoutSources(VeskConsole::sharedInstance()->text()) << Qt::flush;
    return status;
}
