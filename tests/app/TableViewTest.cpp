#include "AppTestSupport.h"

#include "VeskFilterSheet.h"
#include "VeskMediafileViewerPreviewPanel.h"
#include "VeskProjectsSummarySheet.h"

#include "base/VeskConsole.h"
#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <future>

namespace {

const QString kVisibleColumns = QStringLiteral("kUserDefaultsKeyVisisbleColumns");

} // namespace

class TableView : public AppTest {
protected:
    void loadSizes()
    {
        loadAndShow({ item(QStringLiteral("b.mxf"), QStringLiteral("P"), 1, 300),
            item(QStringLiteral("a.mxf"), QStringLiteral("P"), 2, 100),
            item(QStringLiteral("c.mxf"), QStringLiteral("Q"), 3, 100),
            item(QStringLiteral("d.mxf"), QStringLiteral("Q"), 4, 200) });
    }

    /// Clicks the column's header and waits for the sort, if the click starts one.
    bool clickHeader(const QString &identifier)
    {
        QHeaderView *header = dbTable()->horizontalHeader();
        const int section = dbTable()->tableModel()->columnOf(identifier);
        const QPoint centre(
            header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
        QSignalSpy sorted(dbTable(), &VeskDatabaseTableview::sortFinished);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
        return dbTable()->isSorting() && sorted.wait(10000);
    }

    bool search(const QString &text)
    {
        app->Database()->searchField()->setText(text);
        QTest::keyClick(app->Database()->searchField(), Qt::Key_Return);
        return refreshed();
    }

    QAction *menuItem(const QString &title) const
    {
        for (QAction *action : dbTable()->headerMenu()->actions())
            if (action->text() == title)
                return action;
        return nullptr;
    }

    bool isHidden(const QString &identifier) const
    {
        return dbTable()->isColumnHidden(dbTable()->tableModel()->columnOf(identifier));
    }

    void showTable()
    {
        app->Database()->resize(1000, 600);
        app->ShowDatabase();
        dbTable()->setFocus();
    }
};

// The models keep their contract through loading, searching and clearing; clearing
// empties the store, its tables, the count and the console.
TEST_F(TableView, ModelsKeepTheirContractThroughReloads)
{
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    for (QAbstractItemModel *model : { dbTable()->model(), app->FilterSheet()->ProjectFilterTable()->model(),
             app->ProjectsSummaryWindow()->ProjectSumaryTable()->model(),
             static_cast<QAbstractItemModel *>(app->Database()->SummaryTable()->model()) })
        testers.push_back(
            std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Fatal));
    loadSizes();
    EXPECT_EQ(shownRows(), 4);
    EXPECT_EQ(app->Database()->SummaryTable()->model()->rowCount(), 1);
    EXPECT_EQ(app->FilterSheet()->ProjectFilterTable()->model()->rowCount(), 2);
    const QModelIndex icon
        = dbTable()->model()->index(0, dbTable()->tableModel()->columnOf(QStringLiteral("IconCellID")));
    EXPECT_FALSE(icon.data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_FALSE(icon.data(Qt::DisplayRole).isValid());
    ASSERT_TRUE(search(QStringLiteral("a.mxf")));
    EXPECT_EQ(shownRows(), 1);
    VESK_LOG(QStringLiteral("something happened"));
    app->ClearDatabase();
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownRows(), 0);
    EXPECT_EQ(core.getAllItemsCount(), 0u);
    EXPECT_EQ(app->FilterSheet()->ProjectFilterTable()->model()->rowCount(), 0);
    EXPECT_EQ(VeskConsole::sharedInstance()->text(), QStringLiteral("Vesk\n"));
    EXPECT_EQ(app->Database()->itemsCountText()->text(), QStringLiteral("0 items in the database"));
}

TEST_F(TableView, HeaderClicksSortWithTheClickedColumnDecidingButNotDuringAScan)
{
    loadSizes();
    showTable();
    ASSERT_TRUE(clickHeader(QStringLiteral("FilenameCellID")));
    EXPECT_FALSE(AppDelegate::isRunning());
    EXPECT_EQ(shownFileNames(), QStringList({ "a.mxf", "b.mxf", "c.mxf", "d.mxf" }));
    ASSERT_TRUE(clickHeader(QStringLiteral("SizeCellID")));
    // Equal sizes keep the file name order of the earlier click.
    EXPECT_EQ(shownFileNames(), QStringList({ "a.mxf", "c.mxf", "d.mxf", "b.mxf" }));
    ASSERT_TRUE(clickHeader(QStringLiteral("SizeCellID")));
    EXPECT_EQ(shownFileNames(), QStringList({ "b.mxf", "d.mxf", "a.mxf", "c.mxf" }));
    // A column without a sort key leaves order and indicator alone.
    EXPECT_FALSE(clickHeader(QStringLiteral("KindCellID")));
    EXPECT_EQ(shownFileNames(), QStringList({ "b.mxf", "d.mxf", "a.mxf", "c.mxf" }));
    EXPECT_EQ(dbTable()->horizontalHeader()->sortIndicatorSection(),
        dbTable()->tableModel()->columnOf(QStringLiteral("SizeCellID")));
    // More than three clicked columns keep the last three.
    ASSERT_TRUE(clickHeader(QStringLiteral("ProjectCellID")));
    ASSERT_TRUE(clickHeader(QStringLiteral("DateCellID")));
    ASSERT_EQ(dbTable()->sortDescriptors().size(), 3u);
    EXPECT_EQ(dbTable()->sortDescriptors()[2].key, QStringLiteral("filesize"));
    // No sorting while a scan runs.
    const QStringList before = shownFileNames();
    status()->setIsRunning(true);
    EXPECT_FALSE(clickHeader(QStringLiteral("SizeCellID")));
    EXPECT_EQ(shownFileNames(), before);
    EXPECT_EQ(dbTable()->sortDescriptors().size(), 3u);
}

// A sort or search asked for while another runs supersedes it: one result is put in
// place, with the sort still waiting to be applied and the latest search. A change to
// the store is not superseded: searches wait for it as for a scan, and its result goes
// in place before a later refresh runs.
TEST_F(TableView, LaterRequestsSupersedeReadsButNotChanges)
{
    loadSizes();
    QSignalSpy refreshes(dbTable(), &VeskDatabaseTableview::rowsRefreshed);
    const int size = dbTable()->tableModel()->columnOf(QStringLiteral("SizeCellID"));
    dbTable()->horizontalHeader()->setSortIndicator(size, Qt::DescendingOrder);
    for (const char *text : { "b.mxf", ".MXF" }) {
        app->Database()->searchField()->setText(QString::fromLatin1(text));
        app->updateFilter();
    }
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(refreshes.count(), 1);
    EXPECT_EQ(shownFileNames(), QStringList({ "b.mxf", "d.mxf", "a.mxf", "c.mxf" }));

    std::atomic<int> changes = 0;
    std::promise<void> laterAsked;
    dbTable()->refreshRows(false, QString(), [&, asked = laterAsked.get_future().share()](VeskCore &) {
        asked.wait_for(std::chrono::seconds(10));
        ++changes;
    });
    EXPECT_TRUE(VeskBusyJob::shared().othersBusy());
    {
        const QSignalBlocker noPause(app->Database()->searchField());
        app->Database()->searchField()->setText(QStringLiteral("b.mxf"));
        app->updateFilter();
    }
    dbTable()->refreshRows(false, QString());
    laterAsked.set_value();
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(refreshes.count(), 2);
    EXPECT_EQ(shownRows(), 4);
}

// Closing the application while the store's worker changes the store waits for it,
// serving the steps it hands to the main thread.
TEST_F(TableView, ClosingWaitsForStoreWork)
{
    loadSizes();
    std::atomic<bool> served = false;
    dbTable()->refreshRows(false, QString(), [&](VeskCore &store) {
        VeskMainThread::run([&] { served = true; }, true);
        store.validateAllItems(VeskFilter());
    });
    app.reset();
    EXPECT_TRUE(served);
    EXPECT_FALSE(VeskBusyJob::shared().isBusy());
    launch();
}

// The first start hides the registered columns. The header menu lists every column but
// the name columns and shows which are on; a toggle is stored for every column and read
// at the next start, and a stored choice without a column hides it.
TEST_F(TableView, ColumnMenuTogglesAreRememberedForAllColumns)
{
    QStringList hidden;
    const std::vector<VeskColumn> &columns = dbTable()->tableModel()->columns();
    for (int i = 0; i < int(columns.size()); ++i)
        if (dbTable()->isColumnHidden(i))
            hidden.push_back(columns[size_t(i)].identifier);
    hidden.sort();
    EXPECT_EQ(hidden,
        QStringList(
            { "ExistsCellID", "filePackageUID", "hash", "materialPackageUID", "sourceFileID", "sourceTapeID" }));
    EXPECT_EQ(dbTable()->headerMenu()->actions().size(), 17);
    EXPECT_FALSE(menuItem(QStringLiteral("File Name")) || menuItem(QStringLiteral("Clip Name")));
    menuItem(QStringLiteral("Exists"))->trigger();
    menuItem(QStringLiteral("Path"))->trigger();
    const QVariantMap stored = VeskSettings::shared().value(kVisibleColumns).toMap();
    EXPECT_EQ(stored.size(), 19);
    for (const char *on : { "FilenameCellID", "ClipnameCellID", "ExistsCellID" })
        EXPECT_EQ(stored.value(QLatin1String(on)).toInt(), 1) << on;
    EXPECT_EQ(stored.value(QStringLiteral("PathCellID")).toInt(), 0);
    launch(); // the next start reads the choice
    EXPECT_FALSE(isHidden(QStringLiteral("ExistsCellID")));
    EXPECT_TRUE(isHidden(QStringLiteral("PathCellID")));
    EXPECT_TRUE(menuItem(QStringLiteral("Exists"))->isChecked());
    EXPECT_FALSE(menuItem(QStringLiteral("Path"))->isChecked());

    VeskSettings::shared().setValue(
        kVisibleColumns, QVariantMap { { QStringLiteral("SizeCellID"), 1 }, { QStringLiteral("FilenameCellID"), 0 } });
    launch();
    EXPECT_FALSE(isHidden(QStringLiteral("SizeCellID")));
    EXPECT_TRUE(isHidden(QStringLiteral("ProjectCellID")));
    EXPECT_FALSE(isHidden(QStringLiteral("FilenameCellID"))); // never hidden by the setting
}

// Space opens the preview, which then follows the selection; the summary row sums the
// selected sizes.
TEST_F(TableView, RowsPreviewAndSumTheSelection)
{
    loadSizes();
    showTable();
    VeskMediafileViewerPreviewPanel *panel = dbTable()->previewPanel();
    QTest::keyClick(dbTable(), Qt::Key_Space);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->contents().text, QStringLiteral("No objects for preview"));
    QTest::keyClick(dbTable(), Qt::Key_Space);
    EXPECT_FALSE(panel->isVisible());
    dbTable()->selectRow(2);
    EXPECT_FALSE(panel->isVisible()); // a hidden panel stays hidden
    EXPECT_EQ(dbTable()->lastitem(), core.ObjectAtIndexFiltered(2));
    QTest::keyClick(dbTable(), Qt::Key_Space);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->contents().text, core.ObjectAtIndexFiltered(2)->description());
    EXPECT_EQ(panel->contents().style, VeskPreviewContents::Style::FixedPitchText);
    dbTable()->selectRow(3);
    EXPECT_EQ(panel->contents().text, core.ObjectAtIndexFiltered(3)->description());
    dbTable()->selectAll();
    const QAbstractItemModel *summary = app->Database()->SummaryTable()->model();
    EXPECT_EQ(summary->index(0, 3).data().toString(), QStringLiteral("4"));
    ASSERT_TRUE(search(QStringLiteral("b.mxf"))); // a new row count drops the selection
    EXPECT_EQ(summary->index(0, 3).data().toString(), QStringLiteral("0"));
    app->Database()->hide();
    EXPECT_FALSE(panel->isVisible());
}
