#include "AppTestSupport.h"

#include "VeskAppTools.h"
#include "VeskAppliedBinsBar.h"
#include "VeskConsoleWindow.h"
#include "VeskFilterSheet.h"
#include "VeskMainWindow.h"
#include "VeskMediafileViewer.h"
#include "VeskNewActionWindow.h"
#include "VeskPreferencesWindow.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskRowCommands.h"
#include "VeskScanDriver.h"
#include "VeskVolumeSelector.h"
#include "VeskWorkspace.h"

#include "support/BinWriter.h"
#include "support/TestFiles.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
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

    VeskAppliedBinsBar *bar() const { return app->Database()->appliedBinsBar(); }

    void showActive(QWidget *window)
    {
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    static QDialog *openSheet(QWidget *window)
    {
        QDialog *found = nullptr;
        for (QDialog *dialog : window->findChildren<QDialog *>())
            if (dialog->isVisible())
                found = dialog;
        return found;
    }

    TestFiles files;
};

TEST_F(Windows, AppliedBinsBarFollowsEachOperationResetAndClear)
{
    loadFour();
    const QString one = bin(QStringLiteral("Bin 1"), { 1, 2 });
    const QString two = bin(QStringLiteral("Bin 2"), { 3 });
    const QString three = bin(QStringLiteral("Bin 3"), { 2 });
    const QString broken = files.write(QStringLiteral("Bins/Broken.avb"), "not a bin");
    VeskScanDriver *driver = app->scanDriver();
    const QString showOne = QStringLiteral("Showing only media used by: Bin 1");
    struct Step {
        std::function<void()> run;
        QString text;
        QStringList shown;
    };
    const std::vector<Step> steps {
        { [&] { driver->DoAVBIntersect({ one }); }, showOne, { "1.mxf", "2.mxf" } },
        { [&] { driver->DoAVBAdd({ two }); }, showOne + "; then also showing media used by: Bin 2",
            { "1.mxf", "2.mxf", "3.mxf" } },
        { [&] {
             driver->DoAVBSubtract({ three, broken });
         },
            showOne + "; then also showing media used by: Bin 2", { "1.mxf", "2.mxf", "3.mxf" } },
        { [&] { driver->DoAVBSubtract({ three }); },
            showOne + "; then also showing media used by: Bin 2; then hiding media used by: Bin 3",
            { "1.mxf", "3.mxf" } },
        { [&] { app->ResetFilter(); }, QString(), { "1.mxf", "3.mxf" } },
        { [&] { bar()->clearButton()->click(); }, QString(), { "1.mxf", "2.mxf", "3.mxf", "4.mxf" } },
        { [&] {
             driver->DoAVBSubtract({ one, two, three });
         },
            "Hiding media used by: Bin 1, Bin 2, Bin 3", { "4.mxf" } },
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        steps[i].run();
        ASSERT_TRUE(refreshed());
        EXPECT_EQ(shownFileNames(), steps[i].shown);
        if (!steps[i].text.isEmpty()) {
            EXPECT_EQ(bar()->text(), steps[i].text);
        }
    }
    EXPECT_FALSE(bar()->isHidden());
    app->ResetFilter();
    EXPECT_TRUE(bar()->text().contains(QStringLiteral("The filter was reset; the bins still apply")));
    bar()->clearButton()->click();
    EXPECT_TRUE(bar()->isHidden());
    driver->DoAVBIntersect({ one });
    app->ClearDatabase();
    EXPECT_TRUE(bar()->isHidden());
}

TEST_F(Windows, ShortcutsReachTheirCommandsFromEveryWindow)
{
    loadFour();
    showActive(app->window());
    QLineEdit *search = app->Database()->searchField();
    struct Case {
        QWidget *from;
        QKeySequence keys;
        std::function<bool()> done;
    };
    const std::vector<Case> cases {
        { app->consoleWindow(), QKeySequence(QStringLiteral("Ctrl+2")), [&] { return app->Database()->isVisible(); } },
        { VeskMediafileViewer::sharedInstance(), QKeySequence(QStringLiteral("Ctrl+3")),
            [&] { return app->consoleWindow()->isActiveWindow(); } },
        { app->Preferences(), QKeySequence(QStringLiteral("Ctrl+1")), [&] { return app->window()->isActiveWindow(); } },
        { app->window(), QKeySequence::Find, [&] { return search->hasFocus(); } },
        { search, QKeySequence(Qt::Key_Escape), [&] { return search->text().isEmpty(); } },
    };
    for (const Case &shortcut : cases) {
        SCOPED_TRACE(shortcut.keys.toString().toStdString());
        showActive(shortcut.from->window());
        shortcut.from->setFocus();
        search->setText(QStringLiteral("1.mxf"));
        const QKeyCombination keys = shortcut.keys[0];
        QTest::keyClick(shortcut.from, keys.key(), keys.keyboardModifiers());
        EXPECT_TRUE(waitFor(shortcut.done, 5000));
    }
    ASSERT_TRUE(refreshed());
    dbTable()->selectRow(1);
    QTest::keyClick(dbTable(), Qt::Key_Delete);
    auto *sheet = qobject_cast<VeskNewActionWindow *>(openSheet(app->Database()));
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->RadioDelete()->isChecked());
    EXPECT_EQ(sheet->ActionProperties().items->size(), 1u);
    sheet->PushCancel();
}

TEST_F(Windows, RowMenuActsOnTheSelectedRowsAndMissingFilesAreSaidSo)
{
    QStringList revealed;
    const VeskWorkspace::RevealHandler previous
        = VeskWorkspace::setRevealHandler([&](const QStringList &paths) { revealed += paths; });
    loadFour();
    app->Database()->show();
    dbTable()->selectRow(2);
    dbTable()->selectionModel()->select(
        dbTable()->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    VeskRowCommands *commands = app->tools()->findChild<VeskRowCommands *>();
    std::unique_ptr<QMenu> menu(commands->makeMenu(nullptr));
    QStringList titles;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            titles.push_back(action->text());
    EXPECT_EQ(titles,
        QStringList({ "New Action…", "Reveal in File Manager", "Open With mediainfo-gui", "Copy Paths", "Inspect" }));
    menu->actions()[2]->trigger();
    EXPECT_EQ(revealed, QStringList { QStringLiteral("/vol/Avid MediaFiles/MXF/1/3.mxf") });
    menu->actions()[4]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
        QStringLiteral("/vol/Avid MediaFiles/MXF/1/3.mxf\n/vol/Avid MediaFiles/MXF/1/4.mxf"));
    menu->actions()[0]->trigger();
    QDialog *sheet = openSheet(app->Database());
    ASSERT_NE(sheet, nullptr);
    sheet->reject();

    const QRect missing = dbTable()->visualRect(dbTable()->model()->index(3, 1));
    QTest::mouseClick(dbTable()->viewport(), Qt::LeftButton, {}, missing.center());
    QTest::mouseDClick(dbTable()->viewport(), Qt::LeftButton, {}, missing.center());
    EXPECT_EQ(revealed.size(), 1);
    EXPECT_TRUE(status()->text().contains(QStringLiteral("4.mxf cannot be shown in the file manager")))
        << status()->text().toStdString();
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
    loadFour();
    app->window()->show();
    app->ShowDatabase();
    const auto inside = [&](QWidget *window) {
        EXPECT_TRUE(window->isVisible()) << window->objectName().toStdString();
        EXPECT_TRUE(screen.contains(window->frameGeometry()))
            << window->objectName().toStdString() << " at " << window->frameGeometry().x() << ","
            << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
            << window->frameGeometry().height();
    };
    for (QWidget *window : std::initializer_list<QWidget *> { app->window(), app->Database() })
        inside(window);
    app->showConsole();
    app->ShowPreferences();
    VeskMediafileViewer::sharedInstance()->showWindow();
    for (QWidget *window : std::initializer_list<QWidget *> {
             app->consoleWindow(), app->Preferences(), VeskMediafileViewer::sharedInstance() })
        inside(window);
    VeskVolumeSelector volumes({ QStringLiteral("/media/one") }, app->window());
    volumes.show();
    inside(&volumes);
    const std::vector<std::function<QDialog *()>> sheets {
        [&] {
            app->ShowFilter();
            return app->FilterSheet();
        },
        [&] {
            app->ShowProjectsSummary();
            return app->ProjectsSummaryWindow();
        },
        [&] { return app->tools()->NewAction(); },
    };
    for (const auto &open : sheets) {
        QDialog *sheet = open();
        inside(sheet);
        const QRect parent = sheet->parentWidget()->window()->frameGeometry();
        if (sheet->frameGeometry().size().boundedTo(parent.size()) == sheet->frameGeometry().size()) {
            EXPECT_LE((sheet->frameGeometry().center() - parent.center()).manhattanLength(), 2);
        }
        const QRect first = sheet->frameGeometry();
        sheet->reject();
        QDialog *again = open();
        EXPECT_TRUE(again->frameGeometry() == first) << "placed elsewhere when opened again";
        again->reject();
    }
}

TEST_F(Windows, EveryWindowFitsSmallAndLargeScreens)
{
    for (const QSize size : { QSize(800, 600), QSize(3840, 2160) }) {
        const QString config = files.write(QStringLiteral("screen-%1.json").arg(size.width()),
            QStringLiteral(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, "height": %2,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                .arg(size.width())
                .arg(size.height())
                .toUtf8());
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
        environment.insert(
            QStringLiteral("VESK_SCREEN_SIZE"), QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--gtest_filter=Windows.EveryWindowOpensInsideTheScreen") });
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    }
}
