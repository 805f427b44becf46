#include "VeskScanDriver.h"

#include "VeskMountedVolumes.h"
#include "VeskOpenPanel.h"
#include "VeskScanHost.h"
#include "VeskSound.h"
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

VeskScanDriver::VeskScanDriver(VeskCore &core, VeskScanHost &host)
    : m_core(core)
    , m_host(host)
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
    if (status()->isRunning())
        return true;
    if (m_host.databaseShowsSheet()) {
        VeskSound::pop();
        return true;
    }
    return false;
}

void VeskScanDriver::prepare(bool clearDatabase)
{
    m_host.hideDatabase();
    status()->Status_SetTextWithString(QStringLiteral("Working"));
    m_host.setSliderOn(true);
    m_host.setBusyWheel(true);
    if (clearDatabase) {
        m_core.clear();
        m_host.selectAllProjects();
        m_host.showItemsCount();
        m_host.AllTablesReload();
        status()->setIsRunning(true);
    } else {
        status()->setIsRunning(true);
        m_host.selectAllProjects();
    }
}

void VeskScanDriver::pushBigRedButton()
{
    if (refuseScan())
        return;
    m_host.ShowMainWindow();
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
            auto *selector = new VeskVolumeSelector(volumes, m_host.dialogParent());
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
    m_host.ShowMainWindow();
    scanFolders(VeskOpenPanel::choose(VeskOpenPanel::Kind::FilesAndFolders, m_host.dialogParent()));
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
        VeskScanner(m_core).AddFile(location);
    VeskPMRScannerOperation::opQueue().waitUntilAllOperationsAreFinished();
}

void VeskScanDriver::rebuild()
{
    status()->StopAllWheels();
    m_core.makeUnique();
    VeskMainThread::run([this] { m_host.emptySearchField(); }, true);
    m_core.LoadDefaults();
    status()->setIsRunning(false);
}

void VeskScanDriver::endScan(double seconds)
{
    m_host.showItemsCount();
    m_host.reloadTables();
    m_host.clearSortDescriptors();
    m_host.setBusyWheel(false);
    m_host.setSliderOn(false);
    status()->Status_SetTextWithString(executionTime(seconds));
}

void VeskScanDriver::finishVolumeScan(double seconds, bool showDatabase)
{
    endScan(seconds);
    if (showDatabase) {
        m_host.bringDatabaseToFront();
        m_host.openProjectsSummary();
    }
    Q_EMIT scanFinished();
}

void VeskScanDriver::finishFolderScan(double seconds)
{
    status()->Status_SetTextWithString(QStringLiteral("Done"));
    endScan(seconds);
    m_host.bringDatabaseToFront();
    Q_EMIT scanFinished();
}

void VeskScanDriver::OpenAVB(int tag)
{
    if (status()->isRunning())
        return;
    const QStringList bins = VeskOpenPanel::choose(VeskOpenPanel::Kind::Bins, m_host.dialogParent());
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
    runBinOperation(Intersect, &VeskScanner::AVBArray_IntersectWith, bins);
}

void VeskScanDriver::DoAVBSubtract(const QStringList &bins)
{
    runBinOperation(Subtract, &VeskScanner::AVBArray_Subtract, bins);
}

void VeskScanDriver::DoAVBAdd(const QStringList &bins)
{
    runBinOperation(Add, &VeskScanner::AVBArray_Add, bins);
}

// Bin operations rewrite the shown list, which a running scan is about to replace:
// they wait until it has ended.
void VeskScanDriver::runBinOperation(
    BinTag tag, bool (VeskScanner::*operation)(const QStringList &), const QStringList &bins)
{
    if (status()->isRunning())
        return;
    m_host.setBusyWheel(true);
    QElapsedTimer timer;
    timer.start();
    const bool applied = (VeskScanner(m_core).*operation)(bins);
    VESK_LOG(executionTime(secondsSince(timer)));
    m_host.AllTablesReload();
    m_host.setBusyWheel(false);
    if (applied)
        Q_EMIT binsApplied(tag, bins);
}

void VeskScanDriver::parseAmaLinksinBin()
{
    const QStringList bins = VeskOpenPanel::choose(VeskOpenPanel::Kind::Bins, m_host.dialogParent());
    if (bins.isEmpty())
        return;
    m_host.setBusyWheel(true);
    QElapsedTimer timer;
    timer.start();
    VeskScanner(m_core).parseAMAfromAVBs(bins);
    VESK_LOG(executionTime(secondsSince(timer)));
    m_host.setBusyWheel(false);
}
