#include "AppToolsTestSupport.h"

#include "ExportMenu.h"
#include "VeskStoreTableView.h"

#include "model/StoreTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QString kChromium = QStringLiteral("/usr/bin/chromium");

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

class ExportMenuTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        load({ makeItem(files.write(QStringLiteral("MXF/1/say \"hi\"; a<b & c's.mxf"), "12")),
            makeItem(files.write(QStringLiteral("MXF/1/plain.mxf"), "3")) });
        table = std::make_unique<VeskStoreTableView>(core, VeskTableID::Database, VeskColumns::databaseColumns());
        table->setWindowTitle(QStringLiteral("Vesk Database"));
        table->reloadData();
        menu = std::make_unique<ExportMenu>(table.get(), &core);
        previousChooser = ExportMenu::setSaveChooser([this](QWidget *, const QString &type) {
            askedTypes << type;
            return chosenPath;
        });
        previousOpener = ExportMenu::setOpener([this](const QString &path) { opened << path; });
    }
    void TearDown() override
    {
        ExportMenu::setSaveChooser(previousChooser);
        ExportMenu::setOpener(previousOpener);
        StoreTest::TearDown();
    }
    QAction *item(ExportMenu::Tag tag) const
    {
        for (QAction *action : menu->actions())
            if (action->data().toInt() == tag)
                return action;
        return nullptr;
    }
    int column(const QString &id) const { return table->tableModel()->columnOf(id); }

    TestFiles files;
    std::unique_ptr<VeskStoreTableView> table;
    std::unique_ptr<ExportMenu> menu;
    QString chosenPath;
    QStringList askedTypes;
    QStringList opened;
    ExportMenu::SaveChooser previousChooser;
    ExportMenu::Opener previousOpener;
};

} // namespace

// Each export is saved where the user chooses, with its file type kept; cancelling
// writes nothing and a failed save is reported.
TEST_F(ExportMenuTest, SavesWhereTheUserChoosesKeepingTheFileType)
{
    ScriptedAlerts alerts;
    alerts.on(QStringLiteral("Export not saved"), QStringLiteral("OK"));
    const struct {
        ExportMenu::Tag tag;
        QString chosen;
        QString written;
        QString expected;
    } cases[] = {
        { ExportMenu::MacCsv, "out.csv", "out.csv", menu->genCsv(QStringLiteral(";")) },
        { ExportMenu::WindowsCsv, "out.csv", "out.csv", menu->genCsv(QStringLiteral(",")) },
        { ExportMenu::Html, "page.txt", "page.txt.html", menu->genHtml() },
        { ExportMenu::MacCsv, "", "", "" },
        { ExportMenu::MacCsv, "no such folder/out.csv", "", "" },
    };
    for (const auto &c : cases) {
        const QStringList before = QDir(files.path()).entryList(QDir::Files);
        chosenPath = c.chosen.isEmpty() ? QString() : files.path() + QLatin1Char('/') + c.chosen;
        item(c.tag)->trigger();
        if (c.written.isEmpty())
            EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), before) << c.chosen.toStdString();
        else
            EXPECT_EQ(QString::fromUtf8(readAll(files.path() + QLatin1Char('/') + c.written)), c.expected);
    }
    EXPECT_EQ(askedTypes, (QStringList { "csv", "csv", "html", "csv", "csv" }));
    EXPECT_FALSE(QFile::exists(files.path() + QStringLiteral("/page.txt")));
    EXPECT_EQ(alerts.count(QStringLiteral("Export not saved")), 1);
}

// The user's column order counts and a hidden column is exported all the same; the page
// to view goes to the temporary folder and opens.
TEST_F(ExportMenuTest, ViewAsHtmlWritesTheColumnsInTheirOrderHiddenIncludedAndOpens)
{
    QHeaderView *header = table->horizontalHeader();
    header->moveSection(header->visualIndex(column(QStringLiteral("SizeCellID"))), 0);
    table->setColumnHidden(column(QStringLiteral("PathCellID")), true);
    const ExportTable exported = menu->exportTable();
    EXPECT_EQ(exported.columnIds.size(), qsizetype(VeskColumns::databaseColumns().size()));
    EXPECT_EQ(exported.columnIds.front(), QStringLiteral("SizeCellID"));
    EXPECT_EQ(exported.rowCount, 2u);
    EXPECT_EQ(exported.windowTitle, QStringLiteral("Vesk Database"));
    item(ExportMenu::ViewAsHtml)->trigger();
    ASSERT_EQ(opened.size(), 1);
    const QFileInfo page(opened.front());
    EXPECT_EQ(page.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{8}-\\d{6}export\\.html$")).match(page.fileName()).hasMatch());
    EXPECT_EQ(QString::fromUtf8(readAll(page.filePath())), menu->genHtml());
    QFile::remove(page.filePath());
}

using HtmlExport = ExportMenuTest;

// The page shows every row and column in a browser although its table scripts cannot
// have run offline.
TEST_F(HtmlExport, BrowserShowsEveryRowAndColumnWithoutItsScripts)
{
    if (!QFileInfo::exists(kChromium))
        GTEST_SKIP() << "needs Debian's chromium; scripts/check-html-export installs it";
    table->setColumnHidden(column(QStringLiteral("filePackageUID")), true);
    item(ExportMenu::ViewAsHtml)->trigger();
    ASSERT_EQ(opened.size(), 1);
    const QString dom = domInChromium(opened.front(), files.path() + QStringLiteral("/profile"));
    QFile::remove(opened.front());
    EXPECT_FALSE(dom.contains(QLatin1String("dataTables_wrapper")));
    EXPECT_EQ(dom.count(QLatin1String("<th>")), menu->exportTable().columnIds.size());
    EXPECT_EQ(tableBody(dom), tableBody(menu->genHtml()));
}
