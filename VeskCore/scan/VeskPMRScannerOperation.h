#pragma once

#include "model/VeskDatabaseItem.h"
#include "platform/VeskOperationQueue.h"

#include <QString>

#include <memory>
#include <vector>

class VeskItemIntake;
class VeskMediafile;
class VeskOpenFolder;
class VeskStatusWheel;

/// Scans one media folder: reads its index into items, checks each listed file on
/// disk, adds the files the index does not list, enriches the items from the folder's
/// MDB (or, without one, from the MXF files) and hands the list to the intake. A folder
/// whose index is missing or unreadable still gives its files. Every item gets the
/// folder's reference state. Runs on opQueue().
class VeskPMRScannerOperation : public VeskOperation {
public:
    /// The queue of all scanner operations: at most six run at once.
    static VeskOperationQueue &opQueue();

    VeskPMRScannerOperation(VeskItemIntake &intake, const QString &pmrPath);
    void main() override;

    void setCompressionStringForItem(VeskDatabaseItem &item) const;

private:
    using ReferenceState = VeskDatabaseItem::ReferenceState;

    std::unique_ptr<VeskMediafile> openMDB(
        const QString &folder, VeskStatusWheel *wheel, uint64_t *compositions, ReferenceState *state);
    void addMDBInfo(VeskMediafile &mdb, VeskDatabaseItem &item) const;
    ReferenceState readIndex(const QString &pmr, const VeskOpenFolder &folder, VeskMediafile *mdb,
        VeskStatusWheel *wheel, uint64_t compositions, std::vector<VeskItemRef> &items) const;
    void addUnlistedFiles(const VeskOpenFolder &folder, const QList<QByteArray> &unlisted, VeskMediafile *mdb,
        bool readHeaders, std::vector<VeskItemRef> &items) const;

    VeskItemIntake &m_intake;
    const QString m_pmrURL;
};
