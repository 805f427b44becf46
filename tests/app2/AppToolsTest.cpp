#include "AppToolsTestSupport.h"

#include "app/AppTestSupport.h"

#include "VeskAppTools.h"
#include "VeskBinUsageSheet.h"
#include "VeskNewActionWindow.h"
#include "VeskQuarantineWindow.h"
#include "VeskQueueView.h"
#include "VeskQuitGuard.h"
#include "VeskScanDriver.h"

#include "actions/VeskActionManager.h"
#include "support/BinWriter.h"

#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>

using AppToolsTest = AppTest;

TEST_F(AppToolsTest, NewActionIsRefusedWhileTheListIsRebuilt)
{
    ScriptedAlerts alerts;
    alerts.on(QStringLiteral("The list is being rebuilt."), QStringLiteral("OK"));
    TestFiles files;
    loadAndShow(filesOnDisk(files, { 1, 2 }));
    dbTable()->selectAll();
    auto *button = app->Database()->findChild<QPushButton *>(QStringLiteral("NewActionButton"));
    ASSERT_NE(button, nullptr);
    status()->setIsRunning(true);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(alerts.asked(), QStringList { QStringLiteral("The list is being rebuilt.") });
    EXPECT_EQ(app->Database()->findChild<VeskNewActionWindow *>(), nullptr);
    status()->setIsRunning(false);
    QTest::mouseClick(button, Qt::LeftButton);
    auto *sheet = app->Database()->findChild<VeskNewActionWindow *>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->ActionProperties().items->size(), 2u);
    sheet->PushCancel();
}

// A rebuild's new list reaches the table in the step that publishes it: nothing else
// has to reload the table first. Deleted files' rows go at once (missing files are
// hidden by default) and the totals lose their sizes.
TEST_F(AppToolsTest, TheTableFollowsTheStoreAtOnceAfterRebuildsAndDeletions)
{
    TestFiles files;
    const std::vector<VeskItemRef> items = filesOnDisk(files, { 1, 2, 4 });
    load(items);
    EXPECT_EQ(shownRows(), 3);
    const auto action = app->tools()->ActionManager().SetUpNewActionWithOptions(
        properties(QStringLiteral("Delete"), { items[0], items[2] }));
    ASSERT_TRUE(waitFor([&] { return action->Action_Operation()->isFinished(); }));
    ASSERT_TRUE(waitFor([&] { return core.FilteredItemsSize() == 2; }));
    EXPECT_EQ(shownRows(), 1);
    EXPECT_TRUE(app->Database()->itemsCountText()->text().contains(QLatin1String("2 missing files hidden")));
}

// The queue panel sits in the database window. Quit pressed while an action waits for
// an answer: the first time the user stays, the second time the action is cancelled and
// has ended before quitting goes on.
TEST_F(AppToolsTest, QuittingWhileAnActionRunsAsksCancelsAndWaits)
{
    EXPECT_EQ(app->tools()->queueView()->parentWidget(), app->Database()->queueHost());
    EXPECT_EQ(app->tools()->ActionManager().Queue(), app->tools()->queueView());
    const QString question = QStringLiteral("A file action is still running.");
    TestFiles source;
    TestFiles target;
    target.write(QStringLiteral("Promo/MXF/a.mxf"), "old");
    ScriptedAlerts alerts;
    std::vector<bool> mayQuit;
    alerts.on(kOverwrite, QStringLiteral("Yes"), [&] {
        alerts.on(question, QStringLiteral("Keep Running"));
        mayQuit.push_back(app->tools()->quitGuard()->mayQuit());
        alerts.on(question, QStringLiteral("Cancel Action and Quit"));
        mayQuit.push_back(app->tools()->quitGuard()->mayQuit());
    });
    VeskActionManager &manager = app->tools()->ActionManager();
    const auto action = manager.SetUpNewActionWithOptions(properties(
        QStringLiteral("Copy"), { makeItem(source.write(QStringLiteral("1/a.mxf"), "new")) }, target.path()));
    ASSERT_TRUE(waitFor([&] { return action->Action_Operation()->isFinished(); }));
    EXPECT_EQ(mayQuit, (std::vector<bool> { false, true }));
    EXPECT_EQ(alerts.count(question), 2);
    EXPECT_TRUE(action->Action_Operation()->isCancelled());
    EXPECT_FALSE(app->tools()->quitGuard()->actionsRunning());
    EXPECT_TRUE(app->tools()->quitGuard()->mayQuit()) << "nothing runs: no question";
    EXPECT_EQ(alerts.count(question), 2);
}

TEST_F(AppToolsTest, QuarantineWindowListsTheScannedVolumesSetsAndRestoresThem)
{
    TestFiles files;
    const QString path = files.write(QStringLiteral("vol/Avid MediaFiles/MXF/1/a.mxf"), "aaa");
    load({ makeItem(path) });
    const auto operation = makeOperation(properties(QStringLiteral("Quarantine"), { makeItem(path) }));
    runToEnd(operation);
    ASSERT_FALSE(QFileInfo::exists(path));
    VeskQuarantineWindow window(core, app->tools()->ActionManager());
    window.reload();
    ASSERT_EQ(window.table()->rowCount(), 1);
    EXPECT_EQ(window.table()->item(0, 3)->text(), QStringLiteral("1"));
    window.table()->selectRow(0);
    window.findChild<QPushButton *>(QStringLiteral("Restore"))->click();
    EXPECT_TRUE(waitFor([&path] { return QFileInfo::exists(path); }, 10000));
}

// A dropped bin names itself in the Bins column of what it uses, and the usage sheet
// counts its references: one found with its file, one offline.
TEST_F(AppToolsTest, BinUsageSheetCountsTheDroppedBinsReferences)
{
    TestFiles files;
    const std::vector<VeskItemRef> items = filesOnDisk(files, { 10, 20 });
    *items[0]->DB_filePackageUID() = BinWriter::avidUID(1, 2);
    *items[1]->DB_filePackageUID() = BinWriter::avidUID(3, 4);
    loadAndShow(items);
    const QString bin = files.path() + QStringLiteral("/Cut.avb");
    ASSERT_TRUE(BinWriter().clip("A", { BinWriter::avidUID(1, 2), BinWriter::avidUID(5, 6) }).write(bin));
    app->scanDriver()->DoAVBAdd({ bin });
    ASSERT_TRUE(refreshed());
    const QStringList bins = shownColumn(QStringLiteral("UsedByBinsCellID"));
    EXPECT_EQ(QSet<QString>(bins.begin(), bins.end()), (QSet<QString> { "Cut", "" }));
    app->tools()->ShowBinUsage();
    auto *sheet = app->Database()->findChild<VeskBinUsageSheet *>();
    ASSERT_NE(sheet, nullptr);
    QStringList cells;
    for (int row = 0; row < sheet->table()->rowCount(); ++row)
        for (int c : { 0, 1, 2, 4 })
            cells << sheet->table()->item(row, c)->text();
    EXPECT_EQ(cells, (QStringList { "Cut", "2", "1", "1", "All bins", "2", "1", "1" }));
    sheet->accept();
}
