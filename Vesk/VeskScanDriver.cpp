#include "VeskScanDriver.h"

#include "VeskBusyJob.h"
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

#include <algorithm>

namespace {

VeskStatusViewController *status()
{
    return VeskStatusViewController::getTheController();
}

QString executionTime(double seconds)
{
    return QString::asprintf("Execution Time: %f", seconds);
}

constexpr int kProgressMs = 250;

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
    m_progress.setInterval(kProgressMs);
    connect(&m_progress, &QTimer::timeout, this, &VeskScanDriver::reportProgress);
}

// A volume sheet still open goes without scanning.
VeskScanDriver::~VeskScanDriver()
{
    if (m_selector) {
        delete m_selector;
        status()->setIsRunning(false);
    }
    stopScan();
    m_worker.wait();
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

void VeskScanDriver::prepare()
{
    m_databaseWasShown = m_host.isDatabaseShown();
    m_host.hideDatabase();
    status()->Status_SetTextWithString(QStringLiteral("Working"));
    m_host.setSliderOn(true);
    m_host.setBusyWheel(true);
    status()->setIsRunning(true);
    m_host.selectAllProjects();
}

// The busy flag is up while the sheet is open, so that no other scan starts; nothing
// else changes until the user confirms.
void VeskScanDriver::pushBigRedButton()
{
    if (refuseScan())
        return;
    m_host.ShowMainWindow();
    status()->setIsRunning(true);
    auto *selector = new VeskVolumeSelector(m_volumeLister(), m_host.dialogParent());
    m_selector = selector;
    connect(selector, &QDialog::finished, selector, &QObject::deleteLater);
    connect(selector, &QDialog::rejected, this, [] { status()->setIsRunning(false); });
    selector->DoSomethingUsefulWithBlock([this, selector] { startVolumeScan(selector->createResultingArray()); });
}

void VeskScanDriver::startVolumeScan(const QStringList &volumes)
{
    QStringList locations;
    for (const QString &volume : volumes)
        for (const QString &folder : volumeMediaFolders())
            locations.push_back(QDir(volume).filePath(folder));
    startScan(locations, Kind::Volumes);
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
    startScan(paths, Kind::Folders);
}

void VeskScanDriver::scanAMAManagementFolder()
{
    if (refuseScan())
        return;
    startScan({ amaManagementFolder() }, Kind::AMA);
}

// Volume and AMA scans replace the store's items, folder scans add to them; either
// only once the scan has ended. A stopped scan drops what it found.
void VeskScanDriver::startScan(const QStringList &locations, Kind kind)
{
    prepare();
    m_phase = Phase::Scanning;
    m_foldersBefore = VeskPMRScannerOperation::opQueue().addedCount();
    m_progress.start();
    Q_EMIT scanRunning(true);
    m_worker.start([this, locations, kind] {
        QElapsedTimer timer;
        timer.start();
        if (!scanLocations(locations)) {
            dropScan();
            QMetaObject::invokeMethod(this, &VeskScanDriver::finishStoppedScan, Qt::QueuedConnection);
            return;
        }
        rebuild(kind != Kind::Folders);
        const double seconds = secondsSince(timer);
        if (kind != Kind::Volumes)
            VESK_LOG(executionTime(seconds));
        const bool found = !locations.isEmpty();
        QMetaObject::invokeMethod(
            this,
            [this, seconds, found, kind] {
                if (kind == Kind::Volumes)
                    finishVolumeScan(seconds, found);
                else
                    finishFolderScan(seconds);
            },
            Qt::QueuedConnection);
    });
}

void VeskScanDriver::stopScan()
{
    Phase scanning = Phase::Scanning;
    if (!m_phase.compare_exchange_strong(scanning, Phase::Stopping))
        return;
    status()->Status_SetTextWithString(QStringLiteral("Stopping"));
    VeskPMRScannerOperation::opQueue().cancelAllOperations();
}

// Scan thread: the scanner operations hand progress to the main thread, which stays
// free while this thread waits for them. False when the scan was stopped; once this
// returns true, the scan can no longer be stopped.
bool VeskScanDriver::scanLocations(const QStringList &locations)
{
    VeskOperationQueue &queue = VeskPMRScannerOperation::opQueue();
    for (const QString &location : locations) {
        if (m_phase != Phase::Scanning)
            break;
        VeskScanner(m_core).AddFile(location);
    }
    // Operations queued after a stop was asked for are cancelled here.
    if (m_phase != Phase::Scanning)
        queue.cancelAllOperations();
    queue.waitUntilAllOperationsAreFinished();
    Phase scanning = Phase::Scanning;
    return m_phase.compare_exchange_strong(scanning, Phase::Rebuilding);
}

void VeskScanDriver::rebuild(bool replaceItems)
{
    status()->StopAllWheels();
    if (replaceItems)
        m_core.clearItems();
    m_core.makeUnique();
    VeskMainThread::run([this] { m_host.emptySearchField(); }, true);
    m_core.LoadDefaults();
}

void VeskScanDriver::dropScan()
{
    m_core.discardIntake();
    status()->StopAllWheels();
}

void VeskScanDriver::reportProgress()
{
    const VeskOperationQueue &queue = VeskPMRScannerOperation::opQueue();
    const quint64 found = queue.addedCount() - m_foldersBefore;
    const quint64 pending = quint64(std::max(queue.operationCount(), 0));
    Q_EMIT scanProgress(found - std::min(found, pending), found, m_core.intakeCount());
}

// The busy flag stays up until here, so that no other scan starts before this one has
// ended on the main thread.
void VeskScanDriver::endScan(bool rebuilt)
{
    status()->setIsRunning(false);
    m_progress.stop();
    m_phase = Phase::Idle;
    m_host.showItemsCount();
    m_host.reloadTables();
    if (rebuilt)
        m_host.clearSortDescriptors();
    m_host.setBusyWheel(false);
    m_host.setSliderOn(false);
    Q_EMIT scanRunning(false);
}

void VeskScanDriver::finishVolumeScan(double seconds, bool showDatabase)
{
    endScan(true);
    status()->Status_SetTextWithString(executionTime(seconds));
    if (showDatabase) {
        m_host.bringDatabaseToFront();
        m_host.openProjectsSummary();
    }
    Q_EMIT scanFinished();
}

void VeskScanDriver::finishFolderScan(double seconds)
{
    endScan(true);
    status()->Status_SetTextWithString(executionTime(seconds));
    m_host.bringDatabaseToFront();
    Q_EMIT scanFinished();
}

// The store was never touched: the windows go back to how they were.
void VeskScanDriver::finishStoppedScan()
{
    endScan(false);
    status()->Status_SetTextWithString(QStringLiteral("Scan stopped; the database is as it was"));
    if (m_databaseWasShown)
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
    readBins([this, core = &m_core, tag, operation, bins] {
        const bool applied = (VeskScanner(*core).*operation)(bins);
        core->prepareProjectsSummary();
        return [this, tag, bins, applied] {
            m_host.reloadTables();
            if (applied)
                Q_EMIT binsApplied(tag, bins);
        };
    });
}

void VeskScanDriver::parseAmaLinksinBin()
{
    const QStringList bins = VeskOpenPanel::choose(VeskOpenPanel::Kind::Bins, m_host.dialogParent());
    if (bins.isEmpty() || status()->isRunning())
        return;
    readBins([core = &m_core, bins] {
        VeskScanner(*core).parseAMAfromAVBs(bins);
        return VeskBusyJob::Apply();
    });
}

// Bins can be large and their result is applied over every item: the work runs on the
// store's worker, which other store requests wait for, and what it gives back runs on
// the main thread at its end.
void VeskScanDriver::readBins(std::function<VeskBusyJob::Apply()> work)
{
    m_host.setBusyWheel(true);
    VeskBusyJob::shared().start(
        tr("Reading bins"),
        [this, driver = QPointer(this), work = std::move(work)](const std::atomic<bool> &) -> VeskBusyJob::Apply {
            QElapsedTimer timer;
            timer.start();
            VeskBusyJob::Apply done = work();
            VESK_LOG(executionTime(secondsSince(timer)));
            return [this, driver, done = std::move(done)] {
                if (!driver)
                    return;
                if (done)
                    done();
                m_host.setBusyWheel(false);
            };
        },
        VeskBusyJob::Kind::Changes);
}
