#include "VeskScanDriver.h"

#include "AppDelegate.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"
#include "VeskFilterSheet.h"
#include "VeskMainWindow.h"
#include "VeskMountedVolumes.h"
#include "VeskOpenPanel.h"
#include "VeskProgressWheel.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskSound.h"
#include "VeskStatusView.h"
#include "VeskVolumeSelector.h"

#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"
#include "model/VeskCore.h"
#include "platform/VeskStatusViewController.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSemaphore>

namespace {

VeskStatusViewController *status()
{
    return VeskStatusViewController::getTheController();
}

QString executionTime(double seconds)
{
    return QString::asprintf("Execution Time: %f", seconds);
}

double secondsSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

VeskScanDriver::VeskScanDriver(AppDelegate &app)
    : m_app(app)
    , m_volumeLister(&VeskMountedVolumes::mountedVolumes)
{
}

// The scan thread may be waiting for the volume sheet: a sheet still open is
// confirmed with nothing chosen.
VeskScanDriver::~VeskScanDriver()
{
    m_worker.wait([this] {
        if (m_selector) {
            m_selector->delectDeselectAll(false);
            m_selector->pushGo();
        }
    });
}

const QStringList &VeskScanDriver::volumeMediaFolders()
{
    static const QStringList folders
        = { QStringLiteral("Avid MediaFiles/MXF/"), QStringLiteral("MXF/MXF/"), QStringLiteral("OMFI MediaFiles/") };
    return folders;
}

QString VeskScanDriver::amaManagementFolder()
{
    return QStringLiteral("/Users/Shared/AvidMediaComposer/AMA Management/");
}

// A running scan refuses quietly; a sheet on the database window with a sound.
bool VeskScanDriver::refuseScan() const
{
    if (AppDelegate::isRunning())
        return true;
    if (m_app.Database()->showsSheet()) {
        VeskSound::pop();
        return true;
    }
    return false;
}

void VeskScanDriver::prepare(bool clearDatabase)
{
    m_app.Database()->hide();
    status()->Status_SetTextWithString(QStringLiteral("Working"));
    m_app.setSliderOn(true);
    m_app.window()->SecondaryView()->Status_GetBigWheel()->startAnimation();
    if (clearDatabase) {
        m_app.vsk().clear();
        m_app.FilterSheet()->selectAllProjects();
        m_app.showItemsCount();
        m_app.AllTablesReload();
        status()->setIsRunning(true);
    } else {
        status()->setIsRunning(true);
        m_app.FilterSheet()->selectAllProjects();
    }
}

void VeskScanDriver::pushBigRedButton()
{
    if (refuseScan())
        return;
    m_app.ShowMainWindow();
    prepare(true);
    m_worker.start([this] {
        const QStringList chosen = chooseVolumes(m_volumeLister());
        QStringList locations;
        for (const QString &volume : chosen)
            for (const QString &folder : volumeMediaFolders())
                locations.push_back(QDir(volume).filePath(folder));
        QElapsedTimer timer;
        timer.start();
        scanLocations(locations);
        rebuild();
        const double seconds = secondsSince(timer);
        const bool found = !locations.isEmpty();
        QMetaObject::invokeMethod(
            this, [this, seconds, found] { finishVolumeScan(seconds, found); }, Qt::QueuedConnection);
    });
}

// Runs on the scan thread: the sheet is made and shown on the main thread, and this
// thread waits until the user has confirmed it.
QStringList VeskScanDriver::chooseVolumes(const QStringList &volumes)
{
    QStringList chosen;
    QSemaphore confirmed;
    VeskMainThread::run(
        [&] {
            auto *selector = new VeskVolumeSelector(volumes, m_app.window());
            m_selector = selector;
            selector->DoSomethingUsefulWithBlock([&chosen, &confirmed, selector] {
                chosen = selector->createResultingArray();
                selector->deleteLater();
                confirmed.release();
            });
        },
        false);
    confirmed.acquire();
    return chosen;
}

void VeskScanDriver::pushSmallButton()
{
    if (refuseScan())
        return;
    m_app.ShowMainWindow();
    scanFolders(VeskOpenPanel::choose(VeskOpenPanel::Kind::FilesAndFolders, m_app.window()));
}

void VeskScanDriver::scanFolders(const QStringList &paths)
{
    if (paths.isEmpty() || refuseScan())
        return;
    prepare(false);
    m_worker.start([this, paths] {
        QElapsedTimer timer;
        timer.start();
        scanLocations(paths);
        rebuild();
        const double seconds = secondsSince(timer);
        VESK_LOG(executionTime(seconds));
        QMetaObject::invokeMethod(
            this, [this, seconds] { finishFolderScan(seconds); }, Qt::QueuedConnection);
    });
}

void VeskScanDriver::scanAMAManagementFolder()
{
    if (refuseScan())
        return;
    prepare(true);
    m_worker.start([this] {
        QElapsedTimer timer;
        timer.start();
        scanLocations({ amaManagementFolder() });
        rebuild();
        const double seconds = secondsSince(timer);
        VESK_LOG(executionTime(seconds));
        QMetaObject::invokeMethod(
            this, [this, seconds] { finishFolderScan(seconds); }, Qt::QueuedConnection);
    });
}

// Scan thread: the scanner operations hand progress to the main thread, which stays
// free while this thread waits for them.
void VeskScanDriver::scanLocations(const QStringList &locations)
{
    for (const QString &location : locations)
        VeskScanner(m_app.vsk()).AddFile(location);
    VeskPMRScannerOperation::opQueue().waitUntilAllOperationsAreFinished();
}

void VeskScanDriver::rebuild()
{
    status()->StopAllWheels();
    m_app.vsk().makeUnique();
    VeskMainThread::run([this] { m_app.emptySearchField(); }, true);
    m_app.vsk().LoadDefaults();
    status()->setIsRunning(false);
}

void VeskScanDriver::endScan(double seconds)
{
    m_app.showItemsCount();
    m_app.AllTablesReload();
    m_app.databaseTable()->clearSortDescriptors();
    m_app.window()->SecondaryView()->Status_GetBigWheel()->stopAnimation();
    m_app.setSliderOn(false);
    status()->Status_SetTextWithString(executionTime(seconds));
}

void VeskScanDriver::finishVolumeScan(double seconds, bool showDatabase)
{
    endScan(seconds);
    if (showDatabase) {
        m_app.bringDatabaseToFront();
        m_app.ProjectsSummaryWindow()->ShowProjectsSummary();
    }
    Q_EMIT scanFinished();
}

void VeskScanDriver::finishFolderScan(double seconds)
{
    status()->Status_SetTextWithString(QStringLiteral("Done"));
    endScan(seconds);
    m_app.bringDatabaseToFront();
    Q_EMIT scanFinished();
}

void VeskScanDriver::OpenAVB(int tag)
{
    if (AppDelegate::isRunning())
        return;
    const QStringList bins = VeskOpenPanel::choose(VeskOpenPanel::Kind::Bins, m_app.window());
    if (bins.isEmpty())
        return;
    if (tag == Intersect)
        DoAVBIntersect(bins);
    else if (tag == Subtract)
        DoAVBSubtract(bins);
    else if (tag == Add)
        DoAVBAdd(bins);
}

void VeskScanDriver::DoAVBIntersect(const QStringList &bins)
{
    runBinOperation(&VeskScanner::AVBArray_IntersectWith, bins);
}

void VeskScanDriver::DoAVBSubtract(const QStringList &bins)
{
    runBinOperation(&VeskScanner::AVBArray_Subtract, bins);
}

void VeskScanDriver::DoAVBAdd(const QStringList &bins)
{
    runBinOperation(&VeskScanner::AVBArray_Add, bins);
}

// Bin operations rewrite the shown list, which a running scan is about to replace:
// they wait until it has ended.
void VeskScanDriver::runBinOperation(void (VeskScanner::*operation)(const QStringList &), const QStringList &bins)
{
    if (AppDelegate::isRunning())
        return;
    VeskProgressWheel *wheel = m_app.window()->SecondaryView()->Status_GetBigWheel();
    wheel->startAnimation();
    QElapsedTimer timer;
    timer.start();
    (VeskScanner(m_app.vsk()).*operation)(bins);
    VESK_LOG(executionTime(secondsSince(timer)));
    m_app.AllTablesReload();
    wheel->stopAnimation();
}

void VeskScanDriver::parseAmaLinksinBin()
{
    const QStringList bins = VeskOpenPanel::choose(VeskOpenPanel::Kind::Bins, m_app.window());
    if (bins.isEmpty())
        return;
    VeskProgressWheel *wheel = m_app.window()->SecondaryView()->Status_GetBigWheel();
    wheel->startAnimation();
    QElapsedTimer timer;
    timer.start();
    VeskScanner(m_app.vsk()).parseAMAfromAVBs(bins);
    VESK_LOG(executionTime(secondsSince(timer)));
    wheel->stopAnimation();
}
