#include "AppToolsTestSupport.h"

#include "ExportMenu.h"
#include "VeskStoreTableView.h"

#include "model/VeskCore.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"
#include "support/FakeTableView.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QString kChromium = QStringLiteral("/usr/bin/chromium");

/// Writes the demo volume (as scripts/demo makes it) and scans it into the store.
void scanDemoVolume(VeskCore &core, const QString &volume)
{
    QProcess writer;
    writer.start(QStringLiteral(VESK_MKVOLUME),
        { volume, QStringLiteral("--folders"), QStringLiteral("5"), QStringLiteral("--files"), QStringLiteral("60"),
            QStringLiteral("--projects"), QStringLiteral("3"), QStringLiteral("--bins"), QStringLiteral("3"),
            QStringLiteral("--seed"), QStringLiteral("2026") });
    ASSERT_TRUE(writer.waitForFinished(120000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    VeskScanner(core).AddFile(volume + QStringLiteral("/Avid MediaFiles/MXF"));
    VeskPMRScannerOperation::opQueue().waitUntilAllOperationsAreFinished();
    core.makeUnique();
    core.LoadDefaults();
}

/// The page's DOM once the browser has loaded it, with every outside address failing
/// at once, as it does offline.
QString domInChromium(const QString &page, const QString &profile)
{
    QProcess chromium;
    chromium.start(kChromium,
        { QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
            QStringLiteral("--disable-quic"), QStringLiteral("--no-first-run"),
            QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
            QStringLiteral("--disable-sync"), QStringLiteral("--user-data-dir=") + profile,
            QStringLiteral("--host-resolver-rules=MAP * ~NOTFOUND"), QStringLiteral("--dump-dom"),
            QUrl::fromLocalFile(page).toString() });
    if (!chromium.waitForFinished(180000)) {
        chromium.kill();
        chromium.waitForFinished();
        ADD_FAILURE() << "chromium did not finish";
    }
    return QString::fromUtf8(chromium.readAllStandardOutput());
}

QString decodeEntities(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

/// The cell texts of the body rows of the DOM's one table.
std::vector<QStringList> bodyRows(const QString &dom)
{
    const qsizetype start = dom.indexOf(QLatin1String("<tbody>"));
    const qsizetype end = dom.indexOf(QLatin1String("</tbody>"));
    std::vector<QStringList> rows;
    if (start < 0 || end < start)
        return rows;
    const QString body = dom.mid(start, end - start);
    static const QRegularExpression row(
        QStringLiteral("<tr>(.*?)</tr>"), QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(
        QStringLiteral("<td>(.*?)</td>"), QRegularExpression::DotMatchesEverythingOption);
    for (const QRegularExpressionMatch &rowMatch : row.globalMatch(body)) {
        QStringList cells;
        for (const QRegularExpressionMatch &cellMatch : cell.globalMatch(rowMatch.captured(1)))
            cells << decodeEntities(cellMatch.captured(1));
        rows.push_back(cells);
    }
    return rows;
}

} // namespace

TEST(HtmlExport, BrowserShowsEveryRowAndColumnWithoutItsScripts)
{
    if (!QFileInfo::exists(kChromium))
        GTEST_SKIP() << "needs Debian's chromium; scripts/check-html-export installs it";
    TestFiles files;
    VeskCore core;
    FakeTableView selection(QStringLiteral("DatabaseTableID"));
    core.setDatabaseTable(&selection);
    scanDemoVolume(core, files.path() + QStringLiteral("/demo-volume"));
    ASSERT_GT(core.getFilteredIndexesCount(), 100u);

    VeskStoreTableView table(core, VeskTableID::Database, VeskColumns::databaseColumns());
    table.setWindowTitle(QStringLiteral("Vesk Database"));
    table.reloadData();
    table.setColumnHidden(table.tableModel()->columnOf(QStringLiteral("filePackageUID")), true);
    ExportMenu menu(&table, &core);
    QString page;
    const auto previous = ExportMenu::setOpener([&page](const QString &path) { page = path; });
    menu.viewAsHtml(menu.genHtml());
    ExportMenu::setOpener(previous);
    ASSERT_FALSE(page.isEmpty());

    const QString dom = domInChromium(page, files.path() + QStringLiteral("/profile"));
    QFile::remove(page);
    EXPECT_FALSE(dom.contains(QLatin1String("dataTables_wrapper"))) << "the table scripts cannot have run offline";
    const ExportTable exported = menu.exportTable();
    EXPECT_EQ(dom.count(QLatin1String("<th>")), exported.columnIds.size());
    const std::vector<QStringList> rows = bodyRows(dom);
    ASSERT_EQ(rows.size(), exported.rowCount);
    for (uint64_t row = 0; row < exported.rowCount; ++row) {
        ASSERT_EQ(rows[row].size(), exported.columnIds.size()) << "row " << row;
        for (qsizetype column = 0; column < exported.columnIds.size(); ++column)
            ASSERT_EQ(rows[row][column],
                core.NSStringValueForTableColumn(exported.identifier, exported.columnIds[column], row)
                    .value_or(QString()))
                << "row " << row << " column " << exported.columnIds[column].toStdString();
    }
}
