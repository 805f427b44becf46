#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

/// The red-black structure shared by VeskRBTree (shared elements, owner predicates) and
/// VeskRBTree_u32t_u32t (32-bit keys). A Node carries NodeParent, NodeLeft, NodeRight,
/// NodeMiddle, NodeLast and NodeColor; the payload is the derived tree's business.
///
/// Head nodes form the binary search tree. Elements equal to a head hang below it in an
/// equal chain along NodeMiddle, oldest first; chain members stay red, their left and
/// right links are the sentinel and they take no part in the balancing, so a rotation
/// moves a head together with its chain. A head's NodeLast is the last node of its chain
/// (the head itself without one), so appending to a chain and reaching its newest member
/// cost the same however long the chain is. Absent children and chain ends are the
/// sentinel, never null; only the root's NodeParent is null.
///
/// Nodes come from chunks owned by the tree and stay where they are until TreeDelete,
/// so node pointers handed out remain valid until then. Links are plain pointers: the
/// descents read them and the elements without touching any reference count. Every
/// walk is a loop, and the walks follow the links only, never the predicates.
template <typename Node> class VeskRBTreeBase {
public:
    VeskRBTreeBase(const VeskRBTreeBase &) = delete;
    VeskRBTreeBase &operator=(const VeskRBTreeBase &) = delete;

    /// Nodes holding elements, equal-chain members included.
    uint64_t TreeNodeCount() const { return m_nodeCount; }
    /// Nodes that were hung in an equal chain.
    uint64_t TreeEqualNodeCount() const { return m_equalNodeCount; }

    /// Empties the tree and releases every node (and with it its element).
    void TreeDelete()
    {
        releaseNodes();
        m_root = &m_sentinel;
        m_cursor = nullptr;
        m_nodeCount = 0;
        m_equalNodeCount = 0;
    }

protected:
    static constexpr int32_t kRed = 0;
    static constexpr int32_t kBlack = 1;

    explicit VeskRBTreeBase(bool allowEqual)
        : m_allowEqual(allowEqual)
    {
        m_sentinel.NodeColor = kBlack;
        m_sentinel.NodeParent = nullptr;
        m_sentinel.NodeLeft = m_sentinel.NodeRight = m_sentinel.NodeMiddle = m_sentinel.NodeLast = &m_sentinel;
    }
    ~VeskRBTreeBase() { releaseNodes(); }

    bool isEmpty() const { return m_root == &m_sentinel; }

    /// Inserts a probe: equal(x) tells whether the probe equals node x, less(x) whether it
    /// orders before x; fill(z) stores the probe in the new node z. Returns the new node,
    /// or the equal head when equal elements are refused.
    template <typename Equal, typename Less, typename Fill>
    Node *insertWith(const Equal &equal, const Less &less, const Fill &fill)
    {
        Node *parent = nullptr;
        bool goLeft = false;
        if (Node *match = descend(equal, less, parent, goLeft))
            return m_allowEqual ? appendToChain(match, fill) : match;
        Node *z = TreeGetNewNode(fill);
        z->NodeParent = parent;
        if (!parent)
            m_root = z;
        else
            (goLeft ? parent->NodeLeft : parent->NodeRight) = z;
        insertFixup(z);
        return z;
    }

    /// Places the cursor on the newest node equal to the probe and returns it, or null.
    template <typename Equal, typename Less> Node *cursorToFind(const Equal &equal, const Less &less)
    {
        Node *parent = nullptr;
        bool goLeft = false;
        Node *match = descend(equal, less, parent, goLeft);
        m_cursor = match ? match->NodeLast : nullptr;
        return m_cursor;
    }

    /// Moves the cursor to the next older member of its equal group; null at the head.
    Node *cursorToNextEqual()
    {
        if (!m_cursor || !isChainMember(m_cursor))
            return nullptr;
        m_cursor = m_cursor->NodeParent;
        return m_cursor;
    }

    /// First node in order: the newest member of the smallest group.
    Node *cursorToMin()
    {
        m_cursor = isEmpty() ? nullptr : leftmost(m_root)->NodeLast;
        return m_cursor;
    }

    /// Next node in order: groups ascending, each newest first with its head last.
    Node *cursorToNext()
    {
        if (!m_cursor)
            return nullptr;
        if (isChainMember(m_cursor)) {
            m_cursor = m_cursor->NodeParent;
        } else {
            Node *head = nextHead(m_cursor);
            m_cursor = head ? head->NodeLast : nullptr;
        }
        return m_cursor;
    }

    Node *cursorToMinHead()
    {
        m_cursor = isEmpty() ? nullptr : leftmost(m_root);
        return m_cursor;
    }

    /// Next head after the cursor's group.
    Node *cursorToNextHead()
    {
        if (m_cursor)
            m_cursor = nextHead(headOf(m_cursor));
        return m_cursor;
    }

    /// Heads in ascending order, without moving the cursor.
    template <typename Visit> void forEachHead(const Visit &visit) const
    {
        for (Node *head = isEmpty() ? nullptr : leftmost(m_root); head; head = nextHead(head))
            visit(head);
    }

    bool m_allowEqual;

private:
    // Chunks double from 32 nodes up to 16384 nodes: small trees stay small, big ones
    // allocate once per 16384 nodes.
    static constexpr size_t kFirstChunkNodes = 32;
    static constexpr size_t kChunkDoublings = 9;
    static constexpr std::align_val_t kNodeAlignment { alignof(Node) };

    static Node *&child(Node *node, bool right) { return right ? node->NodeRight : node->NodeLeft; }
    static size_t chunkNodes(size_t chunkIndex) { return kFirstChunkNodes << std::min(chunkIndex, kChunkDoublings); }

    bool isChainMember(const Node *node) const { return node->NodeParent && node->NodeParent->NodeMiddle == node; }

    Node *headOf(Node *node) const
    {
        while (isChainMember(node))
            node = node->NodeParent;
        return node;
    }

    // The in-order walk later turns to the right child of every node passed on the way
    // down; asking for those now overlaps their loads with the rest of the walk.
    Node *leftmost(Node *node) const
    {
        __builtin_prefetch(node->NodeRight);
        while (node->NodeLeft != &m_sentinel) {
            node = node->NodeLeft;
            __builtin_prefetch(node->NodeRight);
        }
        return node;
    }

    // In-order successor among the heads, found from the links alone, so that elements
    // the ordering predicate cannot tell apart are still all visited.
    Node *nextHead(Node *head) const
    {
        if (head->NodeRight != &m_sentinel)
            return leftmost(head->NodeRight);
        Node *parent = head->NodeParent;
        while (parent && head == parent->NodeRight) {
            head = parent;
            parent = parent->NodeParent;
        }
        return parent;
    }

    // The head equal to the probe, or null with the last node passed in `parent` and the
    // side the probe belongs on in `goLeft`. Each level asks equal(x) first, then less(x).
    template <typename Equal, typename Less>
    Node *descend(const Equal &equal, const Less &less, Node *&parent, bool &goLeft) const
    {
        for (Node *x = m_root; x != &m_sentinel; x = goLeft ? x->NodeLeft : x->NodeRight) {
            // A descent waits on memory twice per level: for the node, then for its
            // element. Asking early for the nodes two levels down and the elements one
            // level down overlaps those loads with the comparisons at x. (Written out
            // here: a helper holding only prefetches counts as pure and is dropped.)
            for (const Node *c : { x->NodeLeft, x->NodeRight }) {
                __builtin_prefetch(c->NodeLeft);
                __builtin_prefetch(c->NodeRight);
                if constexpr (requires { c->NodeData.get(); })
                    __builtin_prefetch(c->NodeData.get());
            }
            if (equal(x))
                return x;
            parent = x;
            goLeft = less(x);
        }
        return nullptr;
    }

    template <typename Fill> Node *appendToChain(Node *head, const Fill &fill)
    {
        Node *z = TreeGetNewNode(fill);
        z->NodeParent = head->NodeLast;
        head->NodeLast->NodeMiddle = z;
        head->NodeLast = z;
        ++m_equalNodeCount;
        return z;
    }

    template <typename Fill> Node *TreeGetNewNode(const Fill &fill)
    {
        if (m_chunks.empty() || m_chunkUsed == chunkNodes(m_chunks.size() - 1)) {
            m_chunks.reserve(m_chunks.size() + 1);
            const size_t bytes = chunkNodes(m_chunks.size()) * sizeof(Node);
            m_chunks.push_back(static_cast<Node *>(::operator new(bytes, kNodeAlignment)));
            m_chunkUsed = 0;
        }
        Node *z = new (m_chunks.back() + m_chunkUsed) Node();
        ++m_chunkUsed;
        z->NodeColor = kRed;
        z->NodeParent = nullptr;
        z->NodeLeft = z->NodeRight = z->NodeMiddle = &m_sentinel;
        z->NodeLast = z;
        fill(z);
        ++m_nodeCount;
        return z;
    }

    void releaseNodes()
    {
        for (size_t i = 0; i < m_chunks.size(); ++i) {
            const size_t capacity = chunkNodes(i);
            std::destroy_n(m_chunks[i], i + 1 == m_chunks.size() ? m_chunkUsed : capacity);
            ::operator delete(m_chunks[i], kNodeAlignment);
        }
        m_chunks.clear();
        m_chunkUsed = 0;
    }

    // Lifts x's child on the side opposite to `right` into x's place; right == false is
    // the left rotation.
    void TreeRotate(Node *x, bool right)
    {
        Node *y = child(x, !right);
        Node *inner = child(y, right);
        child(x, !right) = inner;
        if (inner != &m_sentinel)
            inner->NodeParent = x;
        Node *parent = x->NodeParent;
        y->NodeParent = parent;
        if (!parent)
            m_root = y;
        else
            child(parent, x == parent->NodeRight) = y;
        child(y, right) = x;
        x->NodeParent = y;
    }

    void insertFixup(Node *z)
    {
        while (z->NodeParent && z->NodeParent->NodeColor == kRed) {
            Node *parent = z->NodeParent;
            Node *grandparent = parent->NodeParent; // a red parent is never the root
            const bool parentIsRight = parent == grandparent->NodeRight;
            Node *uncle = child(grandparent, !parentIsRight);
            if (uncle->NodeColor == kRed) {
                parent->NodeColor = kBlack;
                uncle->NodeColor = kBlack;
                grandparent->NodeColor = kRed;
                z = grandparent;
                continue;
            }
            if (z == child(parent, !parentIsRight)) {
                z = parent;
                TreeRotate(z, parentIsRight);
                parent = z->NodeParent;
            }
            parent->NodeColor = kBlack;
            grandparent->NodeColor = kRed;
            TreeRotate(grandparent, !parentIsRight);
        }
        m_root->NodeColor = kBlack;
    }

    Node m_sentinel;
    Node *m_root = &m_sentinel;
    Node *m_cursor = nullptr;
    uint64_t m_nodeCount = 0;
    uint64_t m_equalNodeCount = 0;
    std::vector<Node *> m_chunks;
    size_t m_chunkUsed = 0;
};
