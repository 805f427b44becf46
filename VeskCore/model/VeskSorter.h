#pragma once

#include "model/VeskBinUsage.h"
#include "model/VeskColumns.h"
#include "model/VeskDatabaseItem.h"
#include "model/VeskItemGroups.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <vector>

struct VeskSortDescriptor {
    QString key;
    bool ascending = true;
    bool operator==(const VeskSortDescriptor &) const = default;
};

/// Orders the store's positions by the keys of the database table's columns. Each
/// pass reads its key from every item once and turns it into one number per item (a
/// rank for texts and UIDs), then sorts plain numbers; ties keep their previous order,
/// so that with several descriptors the later ones order what the first finds equal.
/// Projects and folders are ranked once each through the item groups.
class VeskSorter {
public:
    VeskSorter(const std::vector<VeskItemRef> &items, const VeskItemGroups &groups, int showOnlyExistingFiles,
        const VeskBinUsage *binUsage = nullptr);

    /// Sorts by at most three descriptors (only the first when there are four or
    /// more), the first deciding. Unknown keys are skipped. False when `cancel` was set
    /// before the last pass; the positions are then in no particular order.
    bool sortUsingDescriptors(std::vector<uint32_t> &positions, const std::vector<VeskSortDescriptor> &descriptors,
        const std::atomic<bool> *cancel = nullptr);
    static bool isKnownKey(const QString &key);

private:
    void sortPass(std::vector<uint32_t> &positions, const VeskSortDescriptor &descriptor);
    void readKeys(VeskColumnID column);
    void rankTexts(VeskColumnID column);
    void rankProjects();
    void rankPaths();
    void rankBins();
    void rankUIDs(bool material);
    static uint64_t numberOf(const VeskDatabaseItem &item, VeskColumnID column);

    const std::vector<VeskItemRef> &m_items;
    const VeskItemGroups &m_groups;
    const bool m_hideInvalid;
    const VeskBinUsage *m_binUsage;
    std::vector<uint64_t> m_keys; // per position, ascending order of the key
    std::vector<uint8_t> m_absent; // per position: no value to compare
};
