#include "UsageCommand.h"

#include "CliIO.h"
#include "CliOptions.h"
#include "CliTable.h"
#include "ScanOptions.h"

#include "model/VeskCore.h"
#include "platform/VeskDirectory.h"
#include "report/ExportMenuTexts.h"
#include "report/VeskFileSize.h"
#include "scan/VeskBinUsageReport.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>

#include <unistd.h>

namespace {

using Report = VeskBinUsageReport;

const QStringList kKeys = { QStringLiteral("bin"), QStringLiteral("references"), QStringLiteral("found"),
    QStringLiteral("foundSize"), QStringLiteral("offline") };
const QStringList kTitles = { QStringLiteral("Bin"), QStringLiteral("References"), QStringLiteral("Found"),
    QStringLiteral("Found Size"), QStringLiteral("Offline") };

QStringList offlineTexts(const Report::Row &row)
{
    QStringList texts;
    for (const AVBFileUID &uid : row.offline)
        texts.push_back(uid.text());
    return texts;
}

// The cells of a row for CSV (sizes in bytes, the offline UIDs) or the terminal (a
// readable size, the number of offline references).
QStringList cells(const Report::Row &row, bool forTerminal)
{
    return { row.bin, QString::number(row.references), QString::number(row.found),
        forTerminal ? VeskFileSize::toHumanBytes(double(row.foundSize)) : QString::number(row.foundSize),
        forTerminal ? QString::number(row.offline.size()) : offlineTexts(row).join(QLatin1Char(' ')) };
}

class CsvRows : public ExportMenuProtocol {
public:
    explicit CsvRows(const std::vector<Report::Row> &rows)
        : m_rows(rows)
    {
    }
    std::optional<QString> NSStringValueForTableColumn(const QString &, const QString &key, uint64_t row) const override
    {
        return row < m_rows.size() ? std::optional<QString>(cells(m_rows[row], false).value(kKeys.indexOf(key)))
                                   : std::nullopt;
    }

private:
    const std::vector<Report::Row> &m_rows;
};

// Keys in the order of the report, which QJsonObject would sort.
QString jsonLines(const std::vector<Report::Row> &rows)
{
    QString lines;
    for (const Report::Row &row : rows) {
        const QJsonArray values { row.bin, qint64(row.references), qint64(row.found), qint64(row.foundSize),
            QJsonArray::fromStringList(offlineTexts(row)) };
        QStringList fields;
        for (qsizetype i = 0; i < kKeys.size(); ++i)
            fields.push_back(QStringLiteral("\"%1\":").arg(kKeys[i])
                + QString::fromUtf8(QJsonDocument(QJsonArray { values[i] }).toJson(QJsonDocument::Compact))
                      .mid(1)
                      .chopped(1));
        lines += QLatin1Char('{') + fields.join(QLatin1Char(',')) + QStringLiteral("}\n");
    }
    return lines;
}

QString tableText(const std::vector<Report::Row> &rows)
{
    using Kind = CliTable::Kind;
    CliTable table({ { kTitles[0], Kind::Text }, { kTitles[1], Kind::Number }, { kTitles[2], Kind::Number },
        { kTitles[3], Kind::Number }, { kTitles[4], Kind::Number } });
    for (const Report::Row &row : rows)
        table.addRow(cells(row, true));
    return table.layout(CliTable::terminalWidth());
}

QString render(const QString &format, const std::vector<Report::Row> &rows)
{
    if (format == QLatin1String("json"))
        return jsonLines(rows);
    if (format == QLatin1String("table"))
        return tableText(rows);
    const ExportTable table { QStringLiteral("usage"), QStringLiteral("Vesk"), kKeys, kTitles, rows.size() };
    return ExportMenuTexts::genCsv(table, CsvRows(rows), QLatin1String(format == QLatin1String("csv") ? ";" : ","));
}

// One source per --bins value: a bin, or every bin of a folder counted together.
std::optional<Report::Source> readSource(const QString &path)
{
    const bool isFolder = VeskDirectory::isFolder(path);
    const QStringList bins = isFolder ? ScanOptions::binsIn(path, false) : QStringList { path };
    if (isFolder && bins.isEmpty())
        CliIO::warning(QStringLiteral("%1 holds no bins (.avb)").arg(path));
    Report::Source source { path, {} };
    for (const QString &bin : bins) {
        AVBFile file;
        const AVBFile::Status status = file.readBin(bin);
        if (AVBFile::isRefused(status)) {
            CliIO::error(AVBFile::statusText(status, bin));
            return std::nullopt;
        }
        if (status == AVBFile::Status::NoReferences)
            CliIO::warning(AVBFile::statusText(status, bin));
        const std::vector<AVBFileUID> references = file.getUIDS();
        source.references.insert(source.references.end(), references.begin(), references.end());
    }
    return source;
}

// The media rows the scan options leave.

} // namespace

int UsageCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    const auto usageError = [](const QString &message) { return CliOptions::usageError(CliOptions::Usage, message); };
    const QStringList binPaths = parser.values(QStringLiteral("bins"));
    if (binPaths.isEmpty() || binPaths.contains(QString()))
        return usageError(QStringLiteral("--bins needs a BIN"));
    ScanOptions scanOptions;
    if (const QString problem = scanOptions.read(parser, arguments); !problem.isEmpty())
        return usageError(problem);
    std::vector<Report::Source> sources;
    for (const QString &path : binPaths) {
        std::optional<Report::Source> source = readSource(path);
        if (!source)
            return CliIO::Usage;
        sources.push_back(std::move(*source));
    }
    VeskCore &core = VeskCore::sharedCore();
    const int status = scanOptions.run(core);
    if (status != CliIO::Success && status != CliIO::NothingMatched)
        return status;
    const QString format = parser.isSet(QStringLiteral("format"))
        ? parser.value(QStringLiteral("format"))
        : QLatin1String(isatty(STDOUT_FILENO) ? "table" : "csv");
    CliIO::out() << render(format, Report::rows(core.shownItems(), sources)) << Qt::flush;
    return status;
}
