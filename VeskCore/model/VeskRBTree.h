#pragma once

#include "model/VeskRBTreeBase.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

/// One node of VeskRBTree. NodeColor is 0 for red, 1 for black. NodeData is null only
/// on the sentinel. A node is one cache line.
template <typename T> struct alignas(64) VeskTreeNode {
    VeskTreeNode *NodeLeft = nullptr;
    VeskTreeNode *NodeRight = nullptr;
    std::shared_ptr<T> NodeData;
    VeskTreeNode *NodeMiddle = nullptr;
    VeskTreeNode *NodeParent = nullptr;
    VeskTreeNode *NodeLast = nullptr;
    int32_t NodeColor = 0;
};

/// A red-black tree of shared elements ordered by two owner predicates: EQBlock (are the
/// two equal?) and LTBlock (does the first order before the second?). Equal elements are
/// kept in a chain under the first of them unless AllowEQNodes is off. The predicates
/// are called as EQ(probe, element) and LT(probe, element), the probe being the element
/// inserted or looked up; owners may rely on that order.
///
/// One cursor is shared by TreefindNode/TreefindNextEQ, TreeGetMin/TreeGetNext and the
/// _v2_ walk: starting one walk abandons any other. Insertion leaves the cursor alone.
/// A tree is used by one thread at a time.
template <typename T> class VeskRBTree : public VeskRBTreeBase<VeskTreeNode<T>> {
    using Base = VeskRBTreeBase<VeskTreeNode<T>>;

public:
    using Node = VeskTreeNode<T>;
    using Predicate = std::function<bool(const T &, const T &)>;

    VeskRBTree()
        : Base(true)
    {
    }

    void setEQBlock(Predicate predicate) { m_EQBlock = std::move(predicate); }
    void setLTBlock(Predicate predicate) { m_LTBlock = std::move(predicate); }
    void setAllowEQNodes(bool allow) { this->m_allowEqual = allow; }
    bool AllowEQNodes() const { return this->m_allowEqual; }

    /// The node now holding the element, or the existing equal node when equal elements
    /// are refused. A null element, or a second element before both predicates are set,
    /// is not inserted: the answer is null.
    Node *TreeInsertNode(std::shared_ptr<T> element)
    {
        if (!element || (!this->isEmpty() && !hasPredicates()))
            return nullptr;
        const T &e = *element;
        return this->insertWith([&](const Node *x) { return m_EQBlock(e, *x->NodeData); },
            [&](const Node *x) { return m_LTBlock(e, *x->NodeData); },
            [&](Node *z) { z->NodeData = std::move(element); });
    }

    /// The newest element equal to the probe, or null; positions the cursor there.
    std::shared_ptr<T> TreefindNode(const T &probe)
    {
        if (this->isEmpty() || !hasPredicates())
            return nullptr;
        return dataOf(this->cursorToFind([&](const Node *x) { return m_EQBlock(probe, *x->NodeData); },
            [&](const Node *x) { return m_LTBlock(probe, *x->NodeData); }));
    }

    /// The next older element equal to the one at the cursor, or null after the oldest.
    std::shared_ptr<T> TreefindNextEQ() { return dataOf(this->cursorToNextEqual()); }

    /// The first element in order, or null; positions the cursor there.
    std::shared_ptr<T> TreeGetMin() { return dataOf(this->cursorToMin()); }

    /// The next element in order (groups ascending, each newest first), or null.
    std::shared_ptr<T> TreeGetNext() { return dataOf(this->cursorToNext()); }

    /// The smallest head node (the oldest element of the smallest group), or null.
    Node *Tree_v2_GetMinNonEqual() { return this->cursorToMinHead(); }

    /// The head node of the next group, or null.
    Node *Tree_v2_GetNextNonEqual() { return this->cursorToNextHead(); }

    /// The oldest element of every group of equal elements, ascending; none when the
    /// tree is empty. Leaves the cursor alone.
    std::optional<std::vector<std::shared_ptr<T>>> Tree_v2_GetNonEqDataArray() const
    {
        if (this->TreeNodeCount() == 0)
            return std::nullopt;
        std::vector<std::shared_ptr<T>> elements;
        elements.reserve(this->TreeNodeCount() - this->TreeEqualNodeCount());
        this->forEachHead([&](const Node *head) { elements.push_back(head->NodeData); });
        return elements;
    }

private:
    static std::shared_ptr<T> dataOf(const Node *node) { return node ? node->NodeData : nullptr; }
    bool hasPredicates() const { return m_EQBlock && m_LTBlock; }

    Predicate m_EQBlock;
    Predicate m_LTBlock;
};
