#include "readers/VeskOMFIOutline.h"

#include "readers/VeskOMFI.h"
#include "readers/VeskOMFIInspectorText.h"

namespace {

constexpr uint32_t kMobIndexType = 0x1006d; // count, then 20-byte mob records
constexpr uint32_t kObjRefArrayType = 0x1007c; // count, then 8-byte references
constexpr uint32_t kObjRefType = 0x10077;
constexpr uint32_t kClassIDType = 0x10081; // first entry of an object

} // namespace

VeskOMFIOutline::VeskOMFIOutline(const VeskOMFI &omfi)
    : m_omfi(omfi)
{
    m_ViewItemsTree.setAllowEQNodes(false);
    m_ViewItemsTree.setEQBlock(
        [](const VeskInspectorRow &a, const VeskInspectorRow &b) { return a.level == b.level && a.index == b.index; });
    m_ViewItemsTree.setLTBlock([](const VeskInspectorRow &a, const VeskInspectorRow &b) {
        return a.level < b.level || (a.level == b.level && a.index < b.index);
    });
}

uint32_t VeskOMFIOutline::numberOfChildrenOfItem(const VeskInspectorRow *row) const
{
    if (!row)
        return 1;
    if (row->level == 0 && row->index == 0)
        return leadingTocObjectEntries();
    if (row->level == 1)
        return numberOfChildrenOfItemByTocIndex(row->index);
    return 0;
}

VeskInspectorRowRef VeskOMFIOutline::child(uint32_t index, const VeskInspectorRow *row)
{
    if (!row)
        return createViewItem(0, 0, true, QStringLiteral("[ ID=0x1] CM_StdObjID_TOC"));
    if (row->level == 0 && row->index == 0)
        return rowForTocEntry(index);
    if (row->level == 1)
        return childOfTocItem(index, row->index);
    return nullptr;
}

VeskInspectorRowRef VeskOMFIOutline::createViewItem(
    uint32_t level, uint32_t index, bool expandable, const QString &name)
{
    const auto *node = m_ViewItemsTree.TreeInsertNode(
        std::make_shared<VeskInspectorRow>(VeskInspectorRow { level, index, expandable, name }));
    return node ? node->NodeData : nullptr;
}

uint32_t VeskOMFIOutline::numberOfChildrenOfItemByTocIndex(uint32_t t) const
{
    const std::optional<VeskOMFI::TOC> entry = m_omfi.tocEntry(t);
    if (!entry)
        return 0;
    switch (entry->typeID) {
    case kMobIndexType:
    case kObjRefArrayType: return listCount(entry->typeID, t);
    case kObjRefType: return 1;
    case kClassIDType: return entriesFollowingInObject(t);
    default: return 0;
    }
}

VeskInspectorRowRef VeskOMFIOutline::childOfTocItem(uint32_t i, uint32_t t)
{
    const std::optional<VeskOMFI::TOC> entry = m_omfi.tocEntry(t);
    if (!entry)
        return nullptr;
    if (entry->typeID == kClassIDType)
        return i < entriesFollowingInObject(t) ? rowForTocEntry(t + 1 + i) : nullptr;
    const std::optional<uint64_t> offset = listReferenceOffset(entry->typeID, i);
    if (!offset)
        return nullptr;
    const uint32_t object = m_omfi.resolveReference(m_omfi.pDataFor(t), *offset);
    return object == VeskOMFI::kNone ? nullptr : rowForTocEntry(object);
}

bool VeskOMFIOutline::isTocItemExpandable(uint32_t t) const
{
    const std::optional<VeskOMFI::TOC> entry = m_omfi.tocEntry(t);
    if (!entry)
        return false;
    switch (entry->typeID) {
    case kMobIndexType:
    case kObjRefArrayType:
    case kObjRefType: return true;
    case kClassIDType: return entry->objectID != VeskOMFI::kTocObjectID;
    default: return false;
    }
}

VeskInspectorRowRef VeskOMFIOutline::rowForTocEntry(uint32_t t)
{
    if (t >= m_omfi.TOCItemsCount())
        return nullptr;
    return createViewItem(1, t, isTocItemExpandable(t), VeskOMFIInspectorText(m_omfi).StringForTocIndexItem(t));
}

uint32_t VeskOMFIOutline::leadingTocObjectEntries() const
{
    uint32_t count = 0;
    while (count < m_omfi.TOCItemsCount() && m_omfi.tocEntry(count)->objectID == VeskOMFI::kTocObjectID)
        ++count;
    return count;
}

uint32_t VeskOMFIOutline::entriesFollowingInObject(uint32_t t) const
{
    const uint32_t object = m_omfi.tocEntry(t)->objectID;
    uint32_t count = 0;
    for (uint32_t i = t + 1; i < m_omfi.TOCItemsCount() && m_omfi.tocEntry(i)->objectID == object; ++i)
        ++count;
    return count;
}

std::optional<uint64_t> VeskOMFIOutline::listReferenceOffset(uint32_t type, uint32_t i)
{
    switch (type) {
    case kMobIndexType: return 14 + 20 * uint64_t(i); // the object ID inside the 20-byte record
    case kObjRefArrayType: return 2 + 8 * uint64_t(i);
    case kObjRefType: return 0;
    default: return std::nullopt;
    }
}

uint32_t VeskOMFIOutline::listCount(uint32_t type, uint32_t t) const
{
    const std::span<const uint8_t> value = m_omfi.pDataFor(t);
    const uint64_t count = m_omfi.valueU16(value).value_or(0);
    if (count == 0)
        return 0;
    const uint64_t elementSize = type == kMobIndexType ? 20 : 8;
    return uint32_t(std::min(count, (value.size() - 2) / elementSize));
}
