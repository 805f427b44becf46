#pragma once

#include "VeskAvbOpDelegate.h"
#include "VeskVolumeSelector.h"
#include "VeskWorkerThread.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class VeskCore;
class VeskScanHost;
class VeskScanner;

/// The commands that fill or reshape the database: volume, folder and AMA scans, which
/// wait for the scanner operations on a thread of their own, and the bin operations.
/// One scan runs at a time; the status controller's busy flag says so.
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

    /// Replaces the listing of mounted volumes (tests).
    void setVolumeLister(VolumeLister lister) { m_volumeLister = std::move(lister); }
    /// The volume sheet while it is shown.
    VeskVolumeSelector *volumeSelector() const { return m_selector; }

Q_SIGNALS:
    /// A scan has come back to the idle state, tables reloaded.
    void scanFinished();
    /// A bin operation has changed the shown list; `tag` is its BinTag.
    void binsApplied(int tag, const QStringList &bins);

private:
    bool refuseScan() const;
    void prepare(bool clearDatabase);
    QStringList chooseVolumes(const QStringList &volumes);
    void scanLocations(const QStringList &locations);
    void rebuild();
    void finishVolumeScan(double seconds, bool showDatabase);
    void finishFolderScan(double seconds);
    void endScan(double seconds);
    void runBinOperation(BinTag tag, bool (VeskScanner::*operation)(const QStringList &), const QStringList &bins);

    VeskCore &m_core;
    VeskScanHost &m_host;
    VolumeLister m_volumeLister;
    QPointer<VeskVolumeSelector> m_selector;
    VeskWorkerThread m_worker;
};
