#pragma once

#include "model/VeskDatabaseItem.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

/// Which bin each probe of a bin operation came from: bin i gave the probes from
/// ends[i - 1] (0 for the first) up to ends[i].
struct VeskProbeBins {
    QStringList paths; ///< the bins, in the order given
    std::vector<size_t> ends;

    /// Appends a bin whose probes were just appended to a list now `probeCount` long.
    void addBin(const QString &path, size_t probeCount)
    {
        paths.push_back(path);
        ends.push_back(probeCount);
    }
};

/// Which of the bins of the bin operations reference each item of the store, kept
/// beside the items: per item position one 32-bit number of a distinct list of bins
/// (0 for none), and the distinct lists once each. Most items share a handful of lists,
/// so a million items cost about 4 MB. Bins are numbered in the order they were first
/// given, and each list keeps that order.
class VeskBinUsage {
public:
    /// A match of a bin operation: the item and the number of its probe's bin in the
    /// operation's VeskProbeBins.
    struct Hit {
        const VeskDatabaseItem *item;
        uint32_t bin;
    };

    /// Records the operation's matches for the items at their positions in `items`.
    void record(const std::vector<VeskItemRef> &items, const VeskProbeBins &bins, std::vector<Hit> hits);

    /// Every bin given so far, in order, as given (paths).
    const QStringList &binPaths() const { return m_binPaths; }
    /// The names of the bins that reference the item at the position (file names
    /// without ".avb"), comma-separated; empty for none.
    QString text(size_t position) const;
    QStringList names(size_t position) const { return namesOfList(listOf(position)); }
    /// The number of the item's list of bins, 0 for none; lists numbered alike hold
    /// the same bins.
    uint32_t listOf(size_t position) const { return position < m_listOfItem.size() ? m_listOfItem[position] : 0; }
    /// The text of every distinct list by its number.
    std::vector<QString> listTexts() const;
    QStringList namesOfList(uint32_t list) const;

private:
    uint32_t binNumber(const QString &path);
    uint32_t listWith(uint32_t list, uint32_t bin);

    QStringList m_binPaths;
    QStringList m_binNames;
    QHash<QString, uint32_t> m_binNumbers;
    std::vector<std::vector<uint32_t>> m_lists { {} }; // by number; list 0 is empty
    std::map<std::vector<uint32_t>, uint32_t> m_listNumbers;
    QHash<uint64_t, uint32_t> m_nextList; // (list, bin) -> list with the bin added
    std::vector<uint32_t> m_listOfItem; // per position; empty until an operation matched
};
