#include "AppTestSupport.h"

#include "VeskMainWindow.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskScanDriver.h"
#include "VeskScanHost.h"
#include "VeskSound.h"
#include "VeskStatusView.h"
#include "VeskVolumeSelector.h"

#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace {

constexpr int kScanTimeoutMs = 60000;

// Records what the scan driver asks of the windows, in order.
class FakeScanHost : public VeskScanHost {
public:
    QWidget *dialogParent() const override { return nullptr; }
    bool databaseShowsSheet() const override { return sheet; }
    bool isDatabaseShown() const override { return false; }
    void hideDatabase() override { calls << "hide database"; }
    void ShowMainWindow() override { calls << "main window"; }
    void bringDatabaseToFront() override { calls << "database in front"; }
    void openProjectsSummary() override { calls << "projects summary"; }
    void setSliderOn(bool on) override { calls << (on ? "slider on" : "slider off"); }
    void setBusyWheel(bool spinning) override { calls << (spinning ? "wheel on" : "wheel off"); }
    void selectAllProjects() override { calls << "all projects"; }
    void showItemsCount() override { calls << "items count"; }
    void AllTablesReload() override { calls << "reload"; }
    void emptySearchField() override { calls << "empty search"; }
    void clearSortDescriptors() override { calls << "unsorted"; }

    QStringList calls;
    bool sheet = false;
};

} // namespace

class Scans : public AppTest {
protected:
    /// Writes a volume with vesk-mkvolume and returns its root.
    QString makeVolume(const QString &name, int seed)
    {
        const QString root = files.path() + QLatin1Char('/') + name;
        QProcess writer;
        writer.start(QStringLiteral(VESK_MKVOLUME),
            { root, QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--folders"),
                QStringLiteral("3") });
        EXPECT_TRUE(writer.waitForFinished(60000));
        EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
        return root;
    }

    static QJsonObject expected(const QString &root)
    {
        QFile file(root + QStringLiteral("/expected.json"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    /// The existing files of the volume, or those the bin references.
    static QSet<QString> expectedPaths(const QString &root, const QString &bin = {})
    {
        const QJsonObject volume = expected(root);
        QSet<QString> referenced;
        for (const QJsonValue &uid : volume.value(QStringLiteral("bins")).toObject().value(bin).toArray())
            referenced.insert(uid.toString());
        QSet<QString> paths;
        for (const QJsonValue &value : volume.value(QStringLiteral("items")).toArray()) {
            const QJsonObject item = value.toObject();
            if (item.value(QStringLiteral("exists")).toBool()
                && (bin.isEmpty() || referenced.contains(item.value(QStringLiteral("uid")).toString())))
                paths.insert(item.value(QStringLiteral("path")).toString());
        }
        return paths;
    }

    QSet<QString> shownPaths() const
    {
        QSet<QString> paths;
        const int column = dbTable()->tableModel()->columnOf(QStringLiteral("PathCellID"));
        for (int row = 0; row < shownRows(); ++row)
            paths.insert(dbTable()->model()->index(row, column).data().toString());
        return paths;
    }

    /// Waits for the next end of a scan.
    static bool waitForScan(QSignalSpy &finished)
    {
        finished.clear();
        return finished.wait(kScanTimeoutMs);
    }

    VeskVolumeSelector *waitForSelector() const
    {
        const bool shown = waitFor([this] { return app->scanDriver()->volumeSelector() != nullptr; }, 10000);
        return shown ? app->scanDriver()->volumeSelector() : nullptr;
    }

    QString statusText() const { return status()->text(); }

    TestFiles files;
};

TEST_F(Scans, FolderScanShowsEveryExistingFileARepeatAddsNothingAndBinsNarrowIt)
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
    EXPECT_TRUE(statusText().startsWith(QStringLiteral("Execution Time: ")));
    const uint64_t count = core.getAllItemsCount();
    EXPECT_TRUE(app->Database()->itemsCountText()->text().startsWith(QLocale().toString(count)));

    app->scanDriver()->scanFolders({ root });
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_EQ(core.getAllItemsCount(), count);
    EXPECT_EQ(shownPaths(), expectedPaths(root));

    const QString bin = root + QStringLiteral("/Bins/Bin 1.avb");
    app->scanDriver()->DoAVBIntersect({ bin });
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(shownPaths(), expectedPaths(root, bin));
    EXPECT_EQ(app->Database()->SummaryTable()->model()->index(0, 2).data().toInt(), shownRows());
}

TEST_F(Scans, DriverRefusesUnderASheetAndOtherwiseReachesTheWindowsInOrder)
{
    const QString root = makeVolume(QStringLiteral("vol"), 1);
    FakeScanHost host;
    VeskScanDriver driver(core, host);
    QSignalSpy finished(&driver, &VeskScanDriver::scanFinished);
    host.sheet = true;
    driver.scanFolders({ root });
    EXPECT_FALSE(AppDelegate::isRunning());
    EXPECT_TRUE(host.calls.isEmpty());

    host.sheet = false;
    driver.scanFolders({ root });
    EXPECT_TRUE(AppDelegate::isRunning());
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_EQ(host.calls,
        QStringList({ "hide database", "slider on", "wheel on", "all projects", "empty search", "items count", "reload",
            "unsorted", "wheel off", "slider off", "database in front" }));
    EXPECT_EQ(core.getFilteredIndexesCount(), uint64_t(expectedPaths(root).size()));
}

TEST_F(Scans, VolumeScanSearchesOnlyTheChosenVolumes)
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
    selector->delectDeselectAll(false);
    selector->setVolumeChecked(1, true);
    selector->pushGo();
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_EQ(shownPaths(), expectedPaths(second));
    EXPECT_TRUE(app->Database()->isVisible());
    EXPECT_TRUE(app->ProjectsSummaryWindow()->isVisible());
}

// Cancel, Escape and the close button leave the store and its window as they were; a
// scan stopped by Escape drops what it found; only a confirmed scan of nothing clears.
TEST_F(Scans, CancelledChoiceAndStoppedScanKeepTheStoreOnlyAConfirmedScanReplacesIt)
{
    const QString first = makeVolume(QStringLiteral("first"), 1);
    const QString second = makeVolume(QStringLiteral("second"), 2);
    app->scanDriver()->setVolumeLister([=] { return QStringList { first }; });
    QSignalSpy finished(app->scanDriver(), &VeskScanDriver::scanFinished);
    app->scanDriver()->scanFolders({ first });
    ASSERT_TRUE(waitForScan(finished));
    const QSet<QString> before = shownPaths();
    const std::vector<std::function<void(VeskVolumeSelector *)>> cancels {
        [](VeskVolumeSelector *selector) { QTest::keyClick(selector, Qt::Key_Escape); },
        [](VeskVolumeSelector *selector) { selector->close(); },
        [](VeskVolumeSelector *selector) { selector->findChild<QPushButton *>("cancelButton")->click(); },
    };
    for (const auto &cancel : cancels) {
        app->scanDriver()->pushBigRedButton();
        VeskVolumeSelector *selector = waitForSelector();
        ASSERT_TRUE(selector);
        cancel(selector);
        EXPECT_FALSE(AppDelegate::isRunning());
        EXPECT_EQ(shownPaths(), before);
        EXPECT_TRUE(app->Database()->isVisible());
    }

    QApplication::setActiveWindow(app->window());
    app->scanDriver()->scanFolders({ second });
    EXPECT_TRUE(app->window()->SecondaryView()->stopButton()->isVisible());
    QTest::keyClick(app->window(), Qt::Key_Escape);
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_EQ(shownPaths(), before);
    EXPECT_TRUE(app->Database()->isVisible());
    EXPECT_FALSE(app->window()->SecondaryView()->stopButton()->isVisible());

    app->scanDriver()->pushBigRedButton();
    VeskVolumeSelector *selector = waitForSelector();
    ASSERT_TRUE(selector);
    selector->delectDeselectAll(false);
    selector->pushGo();
    ASSERT_TRUE(waitForScan(finished));
    EXPECT_EQ(core.getAllItemsCount(), 0u);
    EXPECT_FALSE(app->Database()->isVisible());
    EXPECT_TRUE(statusText().startsWith(QStringLiteral("Execution Time: ")));
    EXPECT_FALSE(AppDelegate::isRunning());
}

TEST(VolumeSelector, ChecksFollowTheToggleAndTheBoxes)
{
    QWidget parent;
    const QStringList volumes { QStringLiteral("/media/a"), QStringLiteral("/media/b"), QStringLiteral("/media/c") };
    VeskVolumeSelector selector(volumes, &parent);
    EXPECT_EQ(selector.createResultingArray(), volumes);
    selector.toggleButton()->click();
    EXPECT_TRUE(selector.createResultingArray().isEmpty());
    EXPECT_EQ(selector.toggleButton()->text(), QStringLiteral("Select all"));
    selector.setVolumeChecked(1, true);
    EXPECT_EQ(selector.createResultingArray(), QStringList { QStringLiteral("/media/b") });
    bool confirmed = false;
    selector.DoSomethingUsefulWithBlock([&] { confirmed = true; });
    EXPECT_TRUE(selector.isVisible());
    selector.pushGo();
    EXPECT_TRUE(confirmed);
}
