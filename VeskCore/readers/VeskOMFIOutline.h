#pragma once

#include "model/VeskRBTree.h"
#include "readers/VeskInspectorRow.h"

#include <cstdint>
#include <optional>

class VeskOMFI;

/// The inspector's outline of a Bento container: a top row for the TOC object, whose
/// children are the TOC object's entries; below an entry, the objects its value
/// references or, for an object's class entry, the object's other entries. Rows are
/// kept in ViewItemsTree, one per (level, index), so a row asked for twice is the same
/// object. The outline belongs to the reader and lives until the reader opens again.
class VeskOMFIOutline {
public:
    explicit VeskOMFIOutline(const VeskOMFI &omfi);

    uint32_t numberOfChildrenOfItem(const VeskInspectorRow *row) const;
    VeskInspectorRowRef child(uint32_t index, const VeskInspectorRow *row);

    /// The row held for (level, index), made with the given flag and name on first request.
    VeskInspectorRowRef createViewItem(uint32_t level, uint32_t index, bool expandable, const QString &name);
    uint32_t numberOfChildrenOfItemByTocIndex(uint32_t t) const;
    VeskInspectorRowRef childOfTocItem(uint32_t i, uint32_t t);
    bool isTocItemExpandable(uint32_t t) const;

private:
    VeskInspectorRowRef rowForTocEntry(uint32_t t);
    uint32_t leadingTocObjectEntries() const;
    uint32_t entriesFollowingInObject(uint32_t t) const;
    /// Where the object ID of child i lies in a list value, for the list types.
    static std::optional<uint64_t> listReferenceOffset(uint32_t type, uint32_t i);
    /// How many whole elements of a list type the value holds, at most its count.
    uint32_t listCount(uint32_t type, uint32_t t) const;

    const VeskOMFI &m_omfi;
    VeskRBTree<VeskInspectorRow> m_ViewItemsTree;
};
