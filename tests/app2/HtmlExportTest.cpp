#include "AppToolsTestSupport.h"

#include "ExportMenu.h"
#include "VeskStoreTableView.h"

#include "model/StoreTestSupport.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"

#include <QFileInfo>
#include <QProcess>

namespace {

const QString kChromium = QStringLiteral("/usr/bin/chromium");

/// Writes the demo volume (as scripts/demo makes it) and scans it into the store.
void scanDemoVolume(VeskCore &core, const QString &volume)
{
    writeVolume(volume,
        { QStringLiteral("--folders"), QStringLiteral("5"), QStringLiteral("--files"), QStringLiteral("60"),
            QStringLiteral("--projects"), QStringLiteral("3"), QStringLiteral("--bins"), QStringLiteral("3"),
            QStringLiteral("--seed"), QStringLiteral("2026") });
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

/// The body of the page's one table, with its character references decoded.
QString tableBody(const QString &html)
{
    const qsizetype start = html.indexOf(QLatin1String("<tbody>"));
    QString body = html.mid(start, html.indexOf(QLatin1String("</tbody>")) - start);
    for (const auto &[reference, text] :
        { std::pair { "&lt;", "<" }, { "&gt;", ">" }, { "&quot;", "\"" }, { "&apos;", "'" }, { "&amp;", "&" } })
        body.replace(QLatin1String(reference), QLatin1String(text));
    return body;
}

} // namespace

using HtmlExport = StoreTest;

TEST_F(HtmlExport, BrowserShowsEveryRowAndColumnWithoutItsScripts)
{
    if (!QFileInfo::exists(kChromium))
        GTEST_SKIP() << "needs Debian's chromium; scripts/check-html-export installs it";
    TestFiles files;
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
    const QString body = tableBody(dom);
    EXPECT_EQ(uint64_t(body.count(QLatin1String("<tr>"))), exported.rowCount);
    EXPECT_EQ(body, tableBody(menu.genHtml()));
}
