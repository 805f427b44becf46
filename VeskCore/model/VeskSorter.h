#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>

#include <cstdint>
#include <vector>

struct VeskSortDescriptor {
    QString key;
    bool ascending = true;
};

/// Orders the store's positions by the keys of the database table's columns. Each
/// pass is stable, so that with several descriptors the later ones order what the
/// first finds equal. Keys are read from the items once per pass, not per comparison.
class VeskSorter {
public:
    VeskSorter(const std::vector<VeskItemRef> &items, int showOnlyExistingFiles);

    /// Sorts by at most three descriptors (only the first when there are four or
    /// more), the first deciding. Unknown keys are skipped.
    void sortUsingDescriptors(std::vector<uint32_t> &positions, const std::vector<VeskSortDescriptor> &descriptors);
    static bool isKnownKey(const QString &key);

private:
    enum class Kind { Text, Number, Uid };
    void sortPass(std::vector<uint32_t> &positions, const VeskSortDescriptor &descriptor);
    void readKeys(const std::vector<uint32_t> &positions, const QString &key);
    int compare(uint32_t a, uint32_t b) const;
    bool before(uint32_t a, uint32_t b, bool ascending) const;

    const std::vector<VeskItemRef> &m_items;
    const bool m_hideInvalid;
    Kind m_kind = Kind::Number;
    std::vector<uint8_t> m_valid;
    std::vector<uint8_t> m_absent;
    std::vector<uint64_t> m_numbers; // a number, or the first four folded text units
    std::vector<QString> m_texts;
    std::vector<const VeskUUID *> m_uids;
};
