#include "AppTestSupport.h"

#include "VeskAppliedBinsBar.h"
#include "VeskMainWindow.h"
#include "VeskProgressWheel.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskScanDriver.h"
#include "VeskSound.h"
#include "VeskStatusView.h"
#include "VeskVolumeSelector.h"

#include "app2/AppToolsTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

class Scans : public AppTest {
protected:
    /// Writes a volume with three folders and returns its root.
    QString makeVolume(const QString &name, int seed)
    {
        const QString root = files.path() + QLatin1Char('/') + name;
        writeVolume(root,
            { QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--folders"), QStringLiteral("3") });
        return root;
    }

    /// The existing files of the volume, or those the bin references.
    static QSet<QString> expectedPaths(const QString &root, const QString &bin = {})
    {
        QFile file(root + QStringLiteral("/expected.json"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QJsonObject volume = QJsonDocument::fromJson(file.readAll()).object();
        const QJsonArray referenced = volume.value(QStringLiteral("bins")).toObject().value(bin).toArray();
        QSet<QString> paths;
        for (const QJsonValue &value : volume.value(QStringLiteral("items")).toArray()) {
            const QJsonObject item = value.toObject();
            if (item.value(QStringLiteral("exists")).toBool()
                && (bin.isEmpty() || referenced.contains(item.value(QStringLiteral("uid")))))
                paths.insert(item.value(QStringLiteral("path")).toString());
        }
        return paths;
    }

    QSet<QString> shownPaths() const
    {
        const QStringList paths = shownColumn(QStringLiteral("PathCellID"));
        return { paths.begin(), paths.end() };
    }

    /// Waits for the next end of a scan.
    static bool waitForScan(QSignalSpy &finished)
    {
        finished.clear();
        return finished.wait(60000);
    }

    VeskVolumeSelector *waitForSelector() const
    {
        const bool shown = waitFor([this] { return app->scanDriver()->volumeSelector() != nullptr; }, 10000);
        return shown ? app->scanDriver()->volumeSelector() : nullptr;
    }

    TestFiles files;
};

// A folder scan shows every existing file and bins narrow it; a repeat, with the
// database hidden and the big wheel turning while it runs, adds nothing and leaves no
// search, sort or bin behind.
TEST_F(Scans, FolderScanShowsEveryExistingFileARepeatAddsNothingAndResetsTheView)
{
    const QString root = makeVolume(QStringLiteral("vol"), 7);
    QSignalSpy finished(app->scanDriver(), &VeskScanDriver::scanFinished);
    app->scanDriver()->scanFolders({ root });
    EXPECT_TRUE(AppDelegate::isRunning());
    EXPECT_TRUE(app->window()->MainSliderButton()->isChecked());
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_FALSE(AppDelegate::isRunning());
    EXPECT_EQ(shownPaths(), expectedPaths(root));
    EXPECT_TRUE(app->Database()->isVisible());
    EXPECT_FALSE(app->window()->MainSliderButton()->isChecked());
    EXPECT_TRUE(status()->text().startsWith(QStringLiteral("Execution Time: ")));
    const uint64_t count = core.getAllItemsCount();
    EXPECT_TRUE(app->Database()->itemsCountText()->text().startsWith(QLocale().toString(count)));

    const QString bin = root + QStringLiteral("/Bins/Bin 1.avb");
    app->scanDriver()->DoAVBIntersect({ bin });
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownPaths(), expectedPaths(root, bin));
    EXPECT_EQ(app->Database()->SummaryTable()->model()->index(0, 2).data().toInt(), shownRows());
    dbTable()->horizontalHeader()->setSortIndicator(
        dbTable()->tableModel()->columnOf(QStringLiteral("SizeCellID")), Qt::DescendingOrder);
    ASSERT_TRUE(refreshed());
    ASSERT_FALSE(dbTable()->sortDescriptors().empty());
    {
        const QSignalBlocker typing(app->Database()->searchField());
        app->Database()->searchField()->setText(QStringLiteral("x"));
    }

    app->scanDriver()->scanFolders({ root });
    EXPECT_FALSE(app->Database()->isVisible());
    VeskProgressWheel *wheel = app->window()->SecondaryView()->Status_GetBigWheel();
    EXPECT_TRUE(wheel->isAnimating());
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_FALSE(wheel->isAnimating());
    EXPECT_EQ(core.getAllItemsCount(), count);
    EXPECT_EQ(shownPaths(), expectedPaths(root));
    EXPECT_TRUE(app->Database()->searchField()->text().isEmpty());
    EXPECT_TRUE(dbTable()->sortDescriptors().empty());
    EXPECT_TRUE(app->Database()->appliedBinsBar()->isHidden());
}

// The volume scan searches only the chosen volumes. Cancel, Escape and the close button
// leave the store and its window as they were; a scan stopped by Escape drops what it
// found; only a confirmed scan of nothing clears.
TEST_F(Scans, VolumeScanTakesTheChosenVolumesAndOnlyAConfirmedScanReplacesTheStore)
{
    const QString first = makeVolume(QStringLiteral("first"), 1);
    const QString second = makeVolume(QStringLiteral("second"), 2);
    const QString empty = files.path() + QStringLiteral("/empty");
    QDir().mkpath(empty);
    app->scanDriver()->setVolumeLister([=] { return QStringList { first, second, empty }; });
    QSignalSpy finished(app->scanDriver(), &VeskScanDriver::scanFinished);
    const int pops = VeskSound::popCount();
    app->scanDriver()->pushBigRedButton();
    VeskVolumeSelector *selector = waitForSelector();
    ASSERT_TRUE(selector);
    EXPECT_TRUE(AppDelegate::isRunning());
    EXPECT_EQ(selector->createResultingArray(), QStringList({ first, second, empty }));
    // A second press while the scan runs is ignored without a sound.
    app->scanDriver()->pushBigRedButton();
    EXPECT_EQ(VeskSound::popCount(), pops);
    selector->toggleButton()->click();
    EXPECT_EQ(selector->toggleButton()->text(), QStringLiteral("Select all"));
    selector->setVolumeChecked(1, true);
    selector->pushGo();
    ASSERT_TRUE(waitForScan(finished));
    const QSet<QString> before = shownPaths();
    EXPECT_EQ(before, expectedPaths(second));
    EXPECT_TRUE(app->ProjectsSummaryWindow()->isVisible());
    app->ProjectsSummaryWindow()->CloseProjectsSummary();

    const std::vector<std::function<void(VeskVolumeSelector *)>> cancels {
        [](VeskVolumeSelector *selector) { QTest::keyClick(selector, Qt::Key_Escape); },
        [](VeskVolumeSelector *selector) { selector->close(); },
        [](VeskVolumeSelector *selector) { selector->findChild<QPushButton *>("cancelButton")->click(); },
    };
    for (const auto &cancel : cancels) {
        app->scanDriver()->pushBigRedButton();
        selector = waitForSelector();
        ASSERT_TRUE(selector);
        cancel(selector);
        EXPECT_FALSE(AppDelegate::isRunning());
        EXPECT_EQ(shownPaths(), before);
        EXPECT_TRUE(app->Database()->isVisible());
    }

    QApplication::setActiveWindow(app->window());
    app->scanDriver()->scanFolders({ first });
    EXPECT_TRUE(app->window()->SecondaryView()->stopButton()->isVisible());
    QTest::keyClick(app->window(), Qt::Key_Escape);
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_EQ(shownPaths(), before);
    EXPECT_TRUE(app->Database()->isVisible());
    EXPECT_FALSE(app->window()->SecondaryView()->stopButton()->isVisible());

    app->scanDriver()->pushBigRedButton();
    selector = waitForSelector();
    ASSERT_TRUE(selector);
    selector->delectDeselectAll(false);
    selector->pushGo();
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_EQ(core.getAllItemsCount(), 0u);
    EXPECT_FALSE(app->Database()->isVisible());
}
