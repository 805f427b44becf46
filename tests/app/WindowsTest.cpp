#include "AppTestSupport.h"

#include "VeskAppTools.h"
#include "VeskAppliedBinsBar.h"
#include "VeskConsoleWindow.h"
#include "VeskDuplicateFinderWindow.h"
#include "VeskFilterSheet.h"
#include "VeskMainWindow.h"
#include "VeskMediafileViewer.h"
#include "VeskNewActionWindow.h"
#include "VeskPreferencesWindow.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskRowCommands.h"
#include "VeskScanDriver.h"
#include "VeskWorkspace.h"

#include "support/BinWriter.h"
#include "support/TestFiles.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

class Windows : public AppTest {
protected:
    /// Four items, the last one's file missing and shown.
    void loadFour()
    {
        VeskSettings::shared().setValue(QStringLiteral("ShowOnlyExistingFiles"), 0);
        std::vector<VeskItemRef> items;
        for (int uid = 1; uid <= 4; ++uid)
            items.push_back(item(QStringLiteral("%1.mxf").arg(uid), QStringLiteral("P"), uint64_t(uid)));
        items.back()->setDB_FileExists(false);
        loadAndShow(items);
    }

    /// A bin using the media of the numbered items.
    QString bin(const QString &name, const std::vector<uint32_t> &uids)
    {
        std::vector<VeskUUID> media;
        for (const uint32_t uid : uids)
            media.push_back(BinWriter::avidUID(uid, 0x46000000));
        return files.write(QStringLiteral("Bins/%1.avb").arg(name), BinWriter().clip("A001", media).bytes());
    }

    VeskNewActionWindow *actionSheet() const { return app->Database()->findChild<VeskNewActionWindow *>(); }

    TestFiles files;
};

TEST_F(Windows, AppliedBinsBarFollowsEachOperationResetAndClear)
{
    loadFour();
    const QString one = bin(QStringLiteral("Bin 1"), { 1, 2 }), two = bin(QStringLiteral("Bin 2"), { 3 });
    const QString three = bin(QStringLiteral("Bin 3"), { 2 }), bad = files.write(QStringLiteral("x.avb"), "no");
    VeskScanDriver *driver = app->scanDriver();
    VeskAppliedBinsBar *bar = app->Database()->appliedBinsBar();
    const QString showOne = QStringLiteral("Showing only media used by: Bin 1; then also showing media used by: Bin 2");
    const std::vector<std::tuple<std::function<void()>, QString, QStringList>> steps {
        { [&] { driver->DoAVBIntersect({ one }); }, "Showing only media used by: Bin 1", { "1.mxf", "2.mxf" } },
        { [&] { driver->DoAVBAdd({ two }); }, showOne, { "1.mxf", "2.mxf", "3.mxf" } },
        { [&] {
             driver->DoAVBSubtract({ three, bad });
         },
            showOne, { "1.mxf", "2.mxf", "3.mxf" } },
        { [&] { driver->DoAVBSubtract({ three }); }, showOne + "; then hiding media used by: Bin 3",
            { "1.mxf", "3.mxf" } },
        { [&] { app->ResetFilter(); },
            showOne
                + "; then hiding media used by: Bin 3. The filter was reset; the bins still apply until you "
                  "clear them.",
            { "1.mxf", "3.mxf" } },
        { [&] { bar->clearButton()->click(); }, "", { "1.mxf", "2.mxf", "3.mxf", "4.mxf" } },
        { [&] {
             driver->DoAVBSubtract({ one, two, three });
         },
            "Hiding media used by: Bin 1, Bin 2, Bin 3", { "4.mxf" } },
        { [&] { app->ClearDatabase(); }, "", {} },
    };
    for (const auto &[run, text, shown] : steps) {
        run();
        ASSERT_TRUE(refreshed());
        EXPECT_EQ(shownFileNames(), shown);
        EXPECT_EQ(bar->text(), text);
        EXPECT_EQ(bar->isHidden(), text.isEmpty());
    }
}

TEST_F(Windows, ShortcutsReachTheirCommandsFromEveryWindow)
{
    loadFour();
    QLineEdit *search = app->Database()->searchField();
    const std::vector<std::tuple<QWidget *, QKeySequence, std::function<bool()>>> cases {
        { app->consoleWindow(), QKeySequence(QStringLiteral("Ctrl+2")), [&] { return app->Database()->isVisible(); } },
        { VeskMediafileViewer::sharedInstance(), QKeySequence(QStringLiteral("Ctrl+3")),
            [&] { return app->consoleWindow()->isActiveWindow(); } },
        { app->Preferences(), QKeySequence(QStringLiteral("Ctrl+1")), [&] { return app->window()->isActiveWindow(); } },
        { app->window(), QKeySequence::Find, [&] { return search->hasFocus(); } },
        { search, QKeySequence(Qt::Key_Escape), [&] { return search->text().isEmpty(); } },
    };
    for (const auto &[from, keys, done] : cases) {
        from->window()->show();
        from->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(from->window()));
        from->setFocus();
        search->setText(QStringLiteral("1.mxf"));
        QTest::keyClick(from, keys[0].key(), keys[0].keyboardModifiers());
        EXPECT_TRUE(waitFor(done, 5000));
    }
}

// Dragged rows carry the existing files and their names; the row menu and the Delete
// key act on the selected rows; a double click reveals the clicked file, or says it is
// missing, and does nothing below the rows.
TEST_F(Windows, RowsActOnTheirExistingFilesAndMissingFilesAreSaidSo)
{
    QStringList revealed;
    const VeskWorkspace::RevealHandler previous
        = VeskWorkspace::setRevealHandler([&](const QStringList &paths) { revealed += paths; });
    loadFour();
    app->Database()->show();
    dbTable()->selectRow(2);
    dbTable()->selectionModel()->select(
        dbTable()->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    std::unique_ptr<QMenu> menu(app->tools()->findChild<VeskRowCommands *>()->makeMenu(nullptr));
    menu->actions()[2]->trigger(); // Reveal
    EXPECT_EQ(revealed, QStringList { QStringLiteral("/vol/Avid MediaFiles/MXF/1/3.mxf") });
    menu->actions()[4]->trigger(); // Copy Paths
    EXPECT_EQ(QApplication::clipboard()->text(),
        QStringLiteral("/vol/Avid MediaFiles/MXF/1/3.mxf\n/vol/Avid MediaFiles/MXF/1/4.mxf"));
    QTest::keyClick(dbTable(), Qt::Key_Delete);
    ASSERT_NE(actionSheet(), nullptr);
    EXPECT_TRUE(actionSheet()->RadioDelete()->isChecked());
    EXPECT_EQ(actionSheet()->ActionProperties().items->size(), 2u);
    actionSheet()->PushCancel();

    std::unique_ptr<QMimeData> mime(dbTable()->tableModel()->mimeDataForRows({ 1, 2, 3 }));
    ASSERT_TRUE(mime);
    ASSERT_EQ(mime->urls().size(), 2);
    EXPECT_EQ(mime->urls()[0].toLocalFile(), QStringLiteral("/vol/Avid MediaFiles/MXF/1/2.mxf"));
    EXPECT_EQ(mime->data(QStringLiteral("text/plain;charset=utf-8")), QByteArray("2.mxf\r3.mxf"));
    EXPECT_EQ(dbTable()->tableModel()->supportedDragActions(), Qt::CopyAction);
    mime.reset(dbTable()->tableModel()->mimeDataForRows({ 3 }));
    ASSERT_TRUE(mime);
    EXPECT_TRUE(mime->urls().isEmpty());
    EXPECT_FALSE(mime->hasFormat(QStringLiteral("text/plain;charset=utf-8")));
    EXPECT_FALSE(app->FilterSheet()->ProjectFilterTable()->tableModel()->mimeDataForRows({ 0 }));

    for (const int row : { 3, 2 }) { // missing, then existing
        const QPoint centre = dbTable()->visualRect(dbTable()->model()->index(row, 1)).center();
        QTest::mouseClick(dbTable()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(dbTable()->viewport(), Qt::LeftButton, {}, centre);
        EXPECT_EQ(revealed.size(), 4 - row);
    }
    EXPECT_TRUE(status()->text().contains(QStringLiteral("4.mxf cannot be shown in the file manager")));
    QTest::mouseDClick(dbTable()->viewport(), Qt::LeftButton, {}, QPoint(5, dbTable()->viewport()->height() - 3));
    EXPECT_EQ(revealed, QStringList(2, QStringLiteral("/vol/Avid MediaFiles/MXF/1/3.mxf")));
    VeskWorkspace::setRevealHandler(previous);
}

// Run in a process of its own, on the screen that the outer test gives it.
TEST_F(Windows, EveryWindowOpensInsideTheScreen)
{
    const QString wanted = qEnvironmentVariable("VESK_SCREEN_SIZE");
    if (wanted.isEmpty())
        GTEST_SKIP() << "run by EveryWindowFitsSmallAndLargeScreens";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()), wanted);
    const std::vector<std::function<QWidget *()>> windows { [&] { return app->window(); },
        [&] { return app->Database(); }, [&] { return app->consoleWindow(); }, [&] { return app->Preferences(); },
        [&] { return VeskMediafileViewer::sharedInstance(); }, [&] { return app->FilterSheet(); },
        [&] { return app->ProjectsSummaryWindow(); }, [&] { return app->tools()->NewAction(); },
        [&] { return VeskDuplicateFinderWindow::sharedInstance(); } };
    for (const auto &open : windows) {
        QWidget *window = open();
        window->show();
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(screen.contains(frame)) << window->objectName().toStdString();
        if (QWidget *parent = window->parentWidget()) { // a sheet: centred, and there again next time
            EXPECT_LE((frame.center() - parent->frameGeometry().center()).manhattanLength(), 2);
            window->hide();
            QWidget *again = open();
            again->show();
            EXPECT_TRUE(again->frameGeometry() == frame);
        }
    }
}

TEST_F(Windows, EveryWindowFitsSmallAndLargeScreens)
{
    for (const QSize size : { QSize(800, 600), QSize(3840, 2160) }) {
        const QString config = files.write(QStringLiteral("screen.json"),
            QStringLiteral(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, "height": %2}]})")
                .arg(size.width())
                .arg(size.height())
                .toUtf8());
        qputenv("VESK_SCREEN_SIZE", QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toUtf8());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--gtest_filter=Windows.EveryWindowOpensInsideTheScreen"), QStringLiteral("-platform"),
                QStringLiteral("offscreen:configfile=") + config });
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        EXPECT_TRUE(child.exitCode() == 0 && output.contains(QStringLiteral("[  PASSED  ] 1 test")))
            << output.toStdString();
    }
    qunsetenv("VESK_SCREEN_SIZE");
}
