#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>

#include <cstdint>
#include <vector>

/// The store's items numbered by project name and by folder, so that sorts, searches
/// and rebuilds look at each distinct project and folder once rather than once per
/// item. Entry i of projectIds and folderIds belongs to item i of the list the groups
/// were made from.
struct VeskItemGroups {
    std::vector<uint32_t> projectIds;
    std::vector<QString> projectNames;
    std::vector<uint32_t> folderIds;
    std::vector<QString> folders;

    VeskItemGroups() = default;
    /// Items of one project come to share one copy of its name.
    explicit VeskItemGroups(const std::vector<VeskItemRef> &items);

    /// The groups of the items reordered so that new item i is old item order[i].
    VeskItemGroups reordered(const std::vector<uint32_t> &order) const;
    void clear() { *this = VeskItemGroups(); }
};
