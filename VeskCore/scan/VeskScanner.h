#pragma once

#include "model/VeskBinUsage.h"
#include "model/VeskDatabaseItem.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class VeskCore;

/// Fills a store from disk and narrows it by bins: walks files and folders, queues one
/// scanner operation per media index on VeskPMRScannerOperation::opQueue(), and reads
/// bins into probes for the store's bin reference matching. Cheap to make: it holds only
/// the store.
class VeskScanner {
public:
    explicit VeskScanner(VeskCore &core);

    /// Walks a file or folder and queues one scanner operation per media index found;
    /// does not wait for them.
    void AddFile(const QString &path);
    void AddFile_TypeSelector(const QString &path);

    // Bin reference operations over bin files, in the user's order. A bin that cannot be
    // read, is not a bin or is damaged stops the operation, which then changes nothing;
    // a bin without references adds no probe. Both are logged. Each says whether it
    // was done.
    bool AVBArray_IntersectWith(const QStringList &bins);
    bool AVBArray_Subtract(const QStringList &bins);
    bool AVBArray_Add(const QStringList &bins);
    /// Reads the bins' AMA link references; changes no item.
    void parseAMAfromAVBs(const QStringList &bins);

    struct BinProbes {
        std::vector<VeskItemRef> probes;
        VeskProbeBins bins;
    };
    /// The probes of all the bins and the bin of each, or none when one of them is refused.
    static std::optional<BinProbes> collectProbes(const QStringList &bins);

private:
    using BinOperation = void (VeskCore::*)(const std::vector<VeskItemRef> &, const VeskProbeBins &);
    /// Applies the operation with the probes of the bins; false when a bin is refused.
    bool applyBins(const QStringList &bins, BinOperation operation);
    void addMediaFolderWithoutIndex(const QString &folder);

    VeskCore &m_core;
};
