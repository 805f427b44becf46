#pragma once

#include "model/VeskRBTreeBase.h"

#include <cstdint>

/// One node of VeskRBTree_u32t_u32t: a 32-bit key with its 32-bit value.
struct VeskTreeNode32t {
    VeskTreeNode32t *NodeLeft = nullptr;
    VeskTreeNode32t *NodeRight = nullptr;
    VeskTreeNode32t *NodeMiddle = nullptr;
    VeskTreeNode32t *NodeParent = nullptr;
    VeskTreeNode32t *NodeLast = nullptr;
    int32_t NodeColor = 0;
    uint32_t key = 0;
    uint32_t value = 0;
};

/// A red-black tree from unsigned 32-bit keys to unsigned 32-bit values, ordered by key.
/// Equal keys are refused unless AllowEQkeys is set; kept ones form a chain as in
/// VeskRBTree. Lookups and walks answer the value, 0xFFFFFFFF for none, so a stored
/// 0xFFFFFFFF cannot be told from absence.
class VeskRBTree_u32t_u32t : public VeskRBTreeBase<VeskTreeNode32t> {
public:
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    VeskRBTree_u32t_u32t();

    void setAllowEQkeys(bool allow) { m_allowEqual = allow; }
    bool AllowEQkeys() const { return m_allowEqual; }

    /// The node now holding the pair, or the existing node of the key when equal keys
    /// are refused (its value unchanged).
    VeskTreeNode32t *TreeInsert(uint32_t key, uint32_t value);
    /// The value of the newest node with the key; positions the cursor there.
    uint32_t TreefindNode(uint32_t key);
    /// The value of the next older node with the cursor's key.
    uint32_t TreefindNextEQ();
    /// The value of the first node in key order; positions the cursor there.
    uint32_t TreeGetMin();
    /// The value of the next node in key order (equal keys newest first).
    uint32_t TreeGetNext();
};
