#include "AppTestSupport.h"

#include "VeskFilterSheet.h"
#include "VeskMainWindow.h"
#include "VeskPreferencesWindow.h"
#include "VeskScanDriver.h"
#include "VeskSound.h"
#include "VeskStatusView.h"
#include "VeskVersionNotice.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class AppCommands : public AppTest {
protected:
    void loadThreeProjects()
    {
        auto imported = item(QStringLiteral("imported.mxf"), QStringLiteral("B"), 3, 30);
        imported->setDB_usageCode(15);
        loadAndShow({ item(QStringLiteral("a1.mxf"), QStringLiteral("A"), 1, 10),
            item(QStringLiteral("a2.mxf"), QStringLiteral("A"), 2, 20), imported,
            item(QStringLiteral("c1.mxf"), QStringLiteral("C"), 4, 40) });
    }
    VeskFilterSheet *filterSheet() const { return app->FilterSheet(); }
    QCheckBox *flagBox(const char *name) const { return filterSheet()->findChild<QCheckBox *>(QLatin1String(name)); }
};

// The preferences window stores each choice at once, later starts read it, and the
// script can be reset to the shipped one.
TEST_F(AppCommands, PreferencesAreStoredAndOutliveTheDefaults)
{
    VeskSettings &settings = VeskSettings::shared();
    settings.setValue(QStringLiteral("ScanMXF"), 0);
    launch();
    VeskPreferencesWindow *preferences = app->Preferences();
    EXPECT_FALSE(preferences->PropertiesScanMXF()->isChecked());
    preferences->PropertiesScanMDB()->click();
    EXPECT_EQ(settings.integerForKey(QStringLiteral("ScanMDB")), 0);
    preferences->ExternalBundleTextField()->setText(QStringLiteral("vlc.desktop"));
    preferences->ExternalBundleEndEdit();
    EXPECT_EQ(settings.stringForKey(QStringLiteral("ExternalAppBundleID")), QStringLiteral("vlc.desktop"));

    const QString shipped = VeskPreferencesWindow::basescript();
    ASSERT_FALSE(shipped.isEmpty());
    preferences->ApplescriptTextview()->setPlainText(QStringLiteral("echo edited"));
    preferences->SaveScript();
    EXPECT_EQ(settings.stringForKey(QStringLiteral("ExtApplescript")), QStringLiteral("echo edited"));
    preferences->ShowPreferences();
    EXPECT_EQ(preferences->ApplescriptTextview()->toPlainText(), QStringLiteral("echo edited"));
    preferences->ResetScript();
    EXPECT_EQ(settings.stringForKey(QStringLiteral("ExtApplescript")), shipped);
    EXPECT_EQ(preferences->ApplescriptTextview()->toPlainText(), shipped);
    preferences->ClosePreferences();
    EXPECT_FALSE(preferences->isVisible());
}

// The sheet's boxes, its select-all button and the project check boxes narrow the
// database table and the project counts.
TEST_F(AppCommands, FilterSheetNarrowsEveryTable)
{
    loadThreeProjects();
    app->ShowFilter();
    ASSERT_TRUE(filterSheet()->isVisible());
    flagBox("ShowOnlyImportedMediaCheckbox")->click();
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownFileNames(), QStringList { QStringLiteral("imported.mxf") });

    QPushButton *button = filterSheet()->FilterSelectAllButton();
    EXPECT_EQ(button->text(), QStringLiteral("Deselect all"));
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("Select all"));
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownRows(), 0);
    filterSheet()->ResetFilterState();
    EXPECT_EQ(button->text(), QStringLiteral("Deselect all"));
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownRows(), 4);

    QTableView *projects = filterSheet()->ProjectFilterTable();
    projects->resize(400, 300);
    const QModelIndex check = projects->model()->index(0, 0); // project "A"
    ASSERT_EQ(projects->model()->index(0, 1).data().toString(), QStringLiteral("A"));
    QTest::mouseClick(projects->viewport(), Qt::LeftButton, {}, projects->visualRect(check).center());
    EXPECT_EQ(check.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownFileNames(), QStringList({ QStringLiteral("imported.mxf"), QStringLiteral("c1.mxf") }));
    filterSheet()->CloseFilter();
    EXPECT_FALSE(filterSheet()->isVisible());
}

TEST_F(AppCommands, SearchFieldNarrowsRowsWhenTypingPauses)
{
    loadThreeProjects();
    QLineEdit *search = app->Database()->searchField();
    search->setText(QStringLiteral("a2"));
    EXPECT_EQ(shownRows(), 4); // searches once typing pauses
    ASSERT_TRUE(waitFor([this] { return shownFileNames() == QStringList { QStringLiteral("a2.mxf") }; }));
    core.projectAtIndex(0)->setMustBeShownInList(false); // a hidden project is still counted
    search->setText(QStringLiteral("a1"));
    QTest::keyClick(search, Qt::Key_Return);
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownRows(), 0);
    EXPECT_EQ(core.projectAtIndex(0)->FilesCount(), 1u);
    core.projectAtIndex(0)->setMustBeShownInList(true);
    search->clear();
    EXPECT_TRUE(waitFor([this] { return shownRows() == 4; }));
}

TEST_F(AppCommands, ExistingFilesCheckShowsMissingMedia)
{
    auto missing = item(QStringLiteral("gone.mxf"), QStringLiteral("A"), 9);
    missing->setDB_FileExists(false);
    missing->setDB_isValid_initial(false);
    loadAndShow({ item(QStringLiteral("here.mxf"), QStringLiteral("A"), 1), missing });
    app->showItemsCount();
    EXPECT_EQ(shownFileNames(), QStringList { QStringLiteral("here.mxf") });
    QLabel *count = app->Database()->itemsCountText();
    EXPECT_EQ(count->text(), QStringLiteral("2 items, <a href=\"#hidden\">1 missing file hidden</a>"));
    Q_EMIT count->linkActivated(QStringLiteral("#hidden"));
    EXPECT_EQ(app->Preferences()->focusWidget(), app->Preferences()->PropertiesExistingFiles());
    app->Database()->searchField()->setText(QStringLiteral("here"));
    app->Preferences()->PropertiesExistingFiles()->click();
    EXPECT_EQ(VeskSettings::shared().integerForKey(QStringLiteral("ShowOnlyExistingFiles")), 0);
    EXPECT_TRUE(app->Database()->searchField()->text().isEmpty());
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownRows(), 2);
    EXPECT_EQ(count->text(), QStringLiteral("2 items in the database"));
}

TEST_F(AppCommands, CommandsAreBlockedWhileAScanRunsAndScansWhileASheetIsOpen)
{
    loadThreeProjects();
    const int pops = VeskSound::popCount();
    status()->setIsRunning(true);
    app->ShowFilter();
    EXPECT_FALSE(filterSheet()->isVisible());
    app->ShowDatabase();
    EXPECT_FALSE(app->Database()->isVisible());
    app->Preferences()->ShowPreferences();
    EXPECT_FALSE(app->Preferences()->isVisible());
    app->ClearDatabase();
    app->scanDriver()->scanFolders({ QStringLiteral("/no such folder") });
    EXPECT_FALSE(app->window()->MainSliderButton()->isChecked());
    EXPECT_EQ(core.getAllItemsCount(), 4u);
    for (int flag = 0; flag < VeskFilterSheet::kFlagCount; ++flag) {
        filterSheet()->flagCheckBox(flag)->click();
        EXPECT_FALSE(filterSheet()->flagCheckBox(flag)->isChecked()) << flag;
    }
    EXPECT_FALSE(VeskFilter::sharedFilter().hasKindOrProblemFlags());
    filterSheet()->FilterSelectAllButton()->click();
    EXPECT_EQ(shownRows(), 4);
    app->Preferences()->PropertiesExistingFiles()->click();
    EXPECT_EQ(VeskSettings::shared().integerForKey(QStringLiteral("ShowOnlyExistingFiles")), 1);
    EXPECT_TRUE(app->Preferences()->PropertiesExistingFiles()->isChecked());
    app->scanDriver()->pushBigRedButton();
    EXPECT_EQ(app->scanDriver()->volumeSelector(), nullptr);
    EXPECT_EQ(VeskSound::popCount(), pops); // refused quietly
    status()->setIsRunning(false);
    // With a sheet open, a scan is refused with a sound.
    app->ShowFilter();
    EXPECT_TRUE(filterSheet()->isVisible());
    app->scanDriver()->pushBigRedButton();
    EXPECT_EQ(VeskSound::popCount(), pops + 1);
    EXPECT_FALSE(status()->isRunning());
}

// The main window shows the version; the slider moves between the two layouts; opening the status area asks for the
// version notice, closing it asks nothing.
TEST_F(AppCommands, SliderMovesBetweenTheTwoLayoutsAndOpeningAsksForTheVersion)
{
    VeskSettings::shared().setValue(VeskVersionNotice::kVersionURLKey, QStringLiteral("http://127.0.0.1:1/version"));
    VeskMainWindow *window = app->window();
    EXPECT_TRUE(window->VersionLabel()->text().startsWith(
        QStringLiteral("v") + QStringLiteral(VESK_VERSION) + QStringLiteral(" build ")));
    EXPECT_EQ(window->FirstView()->pos().y(), 0);
    EXPECT_GE(window->SecondaryView()->pos().y(), window->MainView()->height()); // out of sight
    QTest::mouseClick(window->MainSliderButton(), Qt::LeftButton);
    const QPoint on = window->viewOrigins(true);
    ASSERT_TRUE(waitFor([window, on] {
        return window->FirstView()->pos().y() == on.x() && window->SecondaryView()->pos().y() == on.y();
    }));
    EXPECT_EQ(window->MainView()->height() - window->SecondaryView()->geometry().bottom() - 1, 0);
    EXPECT_EQ(-window->FirstView()->pos().y(), VeskMainWindow::kFirstViewOriginOn);
    EXPECT_TRUE(waitFor([this] { return status()->text() == QLatin1String("Error in http request"); }, 5000));
    status()->Status_SetTextWithString(QStringLiteral("before"));
    QTest::mouseClick(window->MainSliderButton(), Qt::LeftButton);
    EXPECT_TRUE(waitFor([window] { return window->FirstView()->pos().y() == 0; }));
    EXPECT_EQ(status()->text(), QStringLiteral("before"));
}
