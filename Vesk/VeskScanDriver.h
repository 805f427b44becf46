#pragma once

#include "VeskAvbOpDelegate.h"
#include "VeskVolumeSelector.h"
#include "VeskWorkerThread.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>

class VeskCore;
class VeskScanHost;
class VeskScanner;

/// The commands that fill or reshape the database: volume, folder and AMA scans, which
/// wait for the scanner operations on a thread of their own, and the bin operations.
/// One scan runs at a time; the status controller's busy flag says so. The store keeps
/// its items while a scan runs: a volume scan replaces them only once it has ended, and
/// a stopped scan leaves them as they were.
class VeskScanDriver : public QObject, public VeskAvbOpDelegate {
    Q_OBJECT
public:
    using VolumeLister = std::function<QStringList()>;
    VeskScanDriver(VeskCore &core, VeskScanHost &host);
    ~VeskScanDriver() override;

    /// The media folders of a volume, relative to its root, in scanning order.
    static const QStringList &volumeMediaFolders();
    static QString amaManagementFolder();

    void pushBigRedButton();
    void pushSmallButton();
    void scanAMAManagementFolder();
    void parseAmaLinksinBin();
    void OpenAVB(int tag);
    void DoAVBIntersect(const QStringList &bins) override;
    void DoAVBSubtract(const QStringList &bins) override;
    void DoAVBAdd(const QStringList &bins) override;
    /// The folder scan of the chosen paths, without asking: also the paths given on
    /// the command line.
    void scanFolders(const QStringList &paths);
    /// Stops the running scan: scanner operations not yet started are cancelled, those
    /// running finish their folder, and everything the scan found is dropped.
    void stopScan();

    /// Replaces the listing of mounted volumes (tests).
    void setVolumeLister(VolumeLister lister) { m_volumeLister = std::move(lister); }
    /// The volume sheet while it is shown.
    VeskVolumeSelector *volumeSelector() const { return m_selector; }

Q_SIGNALS:
    /// A scan has come back to the idle state, tables reloaded; also after a stop.
    void scanFinished();
    /// A bin operation has changed the shown list; `tag` is its BinTag.
    void binsApplied(int tag, const QStringList &bins);
    /// A scan has started or come back to the idle state.
    void scanRunning(bool running);
    /// A few times a second while a scan runs: media folders done of those found so
    /// far, and files found.
    void scanProgress(quint64 foldersDone, quint64 foldersFound, quint64 filesFound);

private:
    enum class Phase { Idle, Scanning, Stopping, Rebuilding };
    enum class Kind { Volumes, Folders, AMA };

    bool refuseScan() const;
    void startVolumeScan(const QStringList &volumes);
    void startScan(const QStringList &locations, Kind kind);
    void prepare();
    bool scanLocations(const QStringList &locations);
    void rebuild(bool replaceItems);
    void dropScan();
    void reportProgress();
    void finishVolumeScan(double seconds, bool showDatabase);
    void finishFolderScan(double seconds);
    void runBinOperation(BinTag tag, bool (VeskScanner::*operation)(const QStringList &), const QStringList &bins);
    void finishStoppedScan();
    void endScan(bool rebuilt);
    void readBins(std::function<std::function<void()>()> work);

    VeskCore &m_core;
    VeskScanHost &m_host;
    VolumeLister m_volumeLister;
    QPointer<VeskVolumeSelector> m_selector;
    VeskWorkerThread m_worker;
    std::atomic<Phase> m_phase { Phase::Idle };
    bool m_databaseWasShown = false;
    quint64 m_foldersBefore = 0;
    QTimer m_progress;
};
