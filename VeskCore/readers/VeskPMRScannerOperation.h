#pragma once

#include "model/VeskDatabaseItem.h"
#include "platform/VeskOperationQueue.h"

#include <QString>

#include <memory>
#include <vector>

class VeskCore;
class VeskMediafile;
class VeskStatusWheel;

/// Scans one media folder: reads its index into items, checks each listed file on
/// disk, adds the files the index does not list, enriches the items from the folder's
/// MDB (or, without one, from the MXF files) and hands the list to the store under the
/// store's lock. Runs on opQueue().
class VeskPMRScannerOperation : public VeskOperation {
public:
    /// The queue of all scanner operations: at most six run at once.
    static VeskOperationQueue &opQueue();

    VeskPMRScannerOperation(VeskCore &core, const QString &pmrPath);
    void main() override;

    void setCompressionStringForItem(VeskDatabaseItem &item) const;

private:
    std::unique_ptr<VeskMediafile> openMDB(const QString &folder, VeskStatusWheel *wheel, uint64_t *compositions);
    void addMDBInfo(VeskMediafile &mdb, VeskDatabaseItem &item) const;
    void addUnlistedFiles(const QString &folder, const QStringList &unlisted, VeskMediafile *mdb,
                          std::vector<VeskItemRef> &items) const;

    VeskCore &m_core;
    const QString m_pmrURL;
};
