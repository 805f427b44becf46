#include "DuplicatesCommand.h"

#include "CliIO.h"
#include "CliOptions.h"
#include "CliRows.h"
#include "CliTable.h"
#include "DuplicateRows.h"
#include "ScanCommand.h"
#include "ScanOptions.h"

#include "model/VeskCore.h"
#include "model/VeskDuplicates.h"
#include "report/VeskFileSize.h"

#include <QCommandLineParser>
#include <QSet>

#include <variant>

namespace {

using KeepRule = std::optional<VeskDuplicates::KeepRule>;

int usageError(const QString &message)
{
    return CliOptions::usageError(CliOptions::Duplicates, message);
}

QString summaryText(const std::vector<VeskDuplicates::Group> &groups)
{
    const VeskDuplicates::Totals totals = VeskDuplicates::totals(groups);
    return QStringLiteral("%1 groups, %2 copies; removing the extra copies would free %3")
        .arg(totals.groups)
        .arg(totals.copies)
        .arg(VeskFileSize::toHumanBytes(double(totals.extraSize)));
}

QString groupsText(const QString &format, const DuplicateRows &rows, const std::vector<VeskDuplicates::Group> &groups)
{
    if (format != QLatin1String("table"))
        return ExportMenuTexts::genCsv(
            rows.exportTable(false), rows, format == QLatin1String("csv") ? QStringLiteral(";") : QStringLiteral(","));
    const ExportTable table = rows.exportTable(true);
    std::vector<CliTable::Column> columns;
    for (const QString &title : table.columnTitles)
        columns.push_back({ title, title == QLatin1String("Group") ? CliTable::Kind::Number : CliTable::Kind::Text });
    CliTable text(columns);
    for (uint64_t row = 0; row < table.rowCount; ++row) {
        QStringList cells;
        for (const QString &field : table.columnIds)
            cells << rows.NSStringValueForTableColumn(table.identifier, field, row).value_or(QString());
        text.addRow(cells);
    }
    return text.layout(CliTable::terminalWidth()) + summaryText(groups) + QLatin1Char('\n');
}

// Hashes every copy, with a progress line on a terminal.
std::optional<std::vector<VeskDuplicates::Group>> confirmed(const std::vector<VeskDuplicates::Group> &groups)
{
    const bool showProgress = CliIO::stderrIsTerminal();
    QStringList errors;
    int shownPercent = -1;
    auto result = VeskDuplicates::confirmByContent(
        groups,
        [&](uint64_t done, uint64_t total) {
            const int percent = total ? int(done * 100 / total) : 100;
            if (showProgress && percent != shownPercent)
                CliIO::err() << "\r\033[KComparing contents: " << percent << " %" << Qt::flush;
            shownPercent = percent;
            return true;
        },
        &errors);
    if (showProgress)
        CliIO::err() << "\r\033[K" << Qt::flush;
    for (const QString &error : errors)
        CliIO::warning(QStringLiteral("cannot read %1").arg(error));
    return result;
}

// The extra copies become the store's shown rows, in its order, for the row printers.
void showExtras(VeskCore &core, const std::vector<VeskDuplicates::Group> &groups, const VeskDuplicates::KeepRule &keep)
{
    QSet<const VeskDatabaseItem *> extras;
    for (const VeskDuplicates::Group &group : groups)
        for (const VeskItemRef &item : VeskDuplicates::extras(group, keep))
            extras.insert(item.get());
    VeskCore::ShownList shown;
    for (const uint32_t position : core.IndexesSortedFiltered()) {
        const VeskDatabaseItem *item = core.ItemsUnsorted()[position].get();
        if (extras.contains(item)) {
            shown.positions.push_back(position);
            shown.size += item->DB_filesize().value_or(0);
        }
    }
    core.setShownList(std::move(shown));
}

} // namespace

int DuplicatesCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    const QString keepText = parser.value(QStringLiteral("keep"));
    const KeepRule keep = VeskDuplicates::KeepRule::parse(keepText);
    if (parser.isSet(QStringLiteral("keep")) && !keep)
        return usageError(QStringLiteral("--keep takes oldest, newest, first or under:PREFIX, not %1").arg(keepText));
    const bool extrasOnly = parser.isSet(QStringLiteral("extras"));
    if (extrasOnly && !keep)
        return usageError(QStringLiteral("--extras needs --keep RULE to know which copy stays"));
    if (!extrasOnly && parser.isSet(QStringLiteral("columns")))
        return usageError(QStringLiteral("--columns chooses the fields of --extras"));
    VeskCore &core = VeskCore::sharedCore();
    const QString format = ScanCommand::format(parser);
    const CliRows mediaRows(core, CliRows::Table::Media, parser.isSet(QStringLiteral("bytes")));
    const auto fields = ScanCommand::fields(parser, mediaRows, false, format);
    if (const QString *problem = std::get_if<QString>(&fields))
        return usageError(*problem);
    ScanOptions scanOptions;
    if (const QString problem = scanOptions.read(parser, arguments); !problem.isEmpty())
        return usageError(problem);

    const int status = scanOptions.run(core);
    if (status != CliIO::Success && status != CliIO::NothingMatched)
        return status;
    std::vector<VeskDuplicates::Group> groups = VeskDuplicates::find(core.shownItems());
    if (parser.isSet(QStringLiteral("confirm-content")))
        groups = *confirmed(groups);
    if (extrasOnly) {
        showExtras(core, groups, *keep);
        return ScanCommand::print(parser, mediaRows, std::get<QStringList>(fields), format) ? status
                                                                                            : CliIO::Unreadable;
    }
    const DuplicateRows rows(groups, keep, core.nameTables(), parser.isSet(QStringLiteral("bytes")));
    const bool written = format == QLatin1String("json")
        ? ScanCommand::write(parser, [&rows](QTextStream &out) { rows.writeJsonLines(out); })
        : ScanCommand::write(parser, groupsText(format, rows, groups));
    return written ? status : CliIO::Unreadable;
}
