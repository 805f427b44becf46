#include "model/VeskRBTree.h"
#include "model/VeskRBTree_u32t_u32t.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace {

struct Elem {
    uint32_t key = 0;
    uint32_t serial = 0; // insertion order
    int path = 0; // < 0: no path; see PathTree below
};

using ElemTree = VeskRBTree<Elem>;
using ElemRef = std::shared_ptr<Elem>;

void setKeyPredicates(ElemTree &tree)
{
    tree.setEQBlock([](const Elem &a, const Elem &b) { return a.key == b.key; });
    tree.setLTBlock([](const Elem &a, const Elem &b) { return a.key < b.key; });
}

ElemRef makeElem(uint32_t key, uint32_t serial, int path = 0)
{
    return std::make_shared<Elem>(Elem { key, serial, path });
}

// Checks the whole structure reachable from any node: the sentinel, the red-black
// rules on the heads, the search order with bounds from every ancestor, and the equal
// chains (red, no children, back-linked, same key, oldest first, NodeLast at the end).
// Iterative, so that long chains and deep trees need no stack.
template <typename Node, typename KeyOf, typename SerialOf>
testing::AssertionResult isSoundTree(
    const Node *anyNode, uint64_t nodeCount, uint64_t equalCount, KeyOf keyOf, SerialOf serialOf)
{
    const Node *root = anyNode;
    while (root->NodeParent)
        root = root->NodeParent;
    const Node *sentinel = root;
    while (sentinel->NodeLeft != sentinel)
        sentinel = sentinel->NodeLeft;
    if (sentinel->NodeColor != 1 || sentinel->NodeRight != sentinel || sentinel->NodeMiddle != sentinel
        || sentinel->NodeParent)
        return testing::AssertionFailure() << "sentinel changed";
    if (root->NodeColor != 1)
        return testing::AssertionFailure() << "red root";

    struct Visit {
        const Node *node;
        int blacks;
        int64_t low, high; // exclusive key bounds from the ancestors
    };
    std::vector<Visit> stack { { root, 1, -1, int64_t(1) << 33 } };
    int leafBlacks = -1;
    uint64_t heads = 0, members = 0;
    while (!stack.empty()) {
        const Visit v = stack.back();
        stack.pop_back();
        const Node *n = v.node;
        const int64_t key = keyOf(n);
        ++heads;
        if (key <= v.low || key >= v.high)
            return testing::AssertionFailure() << "search order broken at key " << key;
        for (const Node *c : { n->NodeLeft, n->NodeRight }) {
            if (c == sentinel) {
                if (leafBlacks < 0)
                    leafBlacks = v.blacks;
                if (leafBlacks != v.blacks)
                    return testing::AssertionFailure() << "unequal black heights";
                continue;
            }
            if (c->NodeParent != n)
                return testing::AssertionFailure() << "bad parent link at key " << keyOf(c);
            if (n->NodeColor == 0 && c->NodeColor == 0)
                return testing::AssertionFailure() << "red node with red child at key " << key;
            const bool left = c == n->NodeLeft;
            stack.push_back({ c, v.blacks + c->NodeColor, left ? v.low : key, left ? key : v.high });
        }
        const Node *last = n;
        for (const Node *m = n->NodeMiddle; m != sentinel; last = m, m = m->NodeMiddle) {
            ++members;
            if (m->NodeColor != 0 || m->NodeLeft != sentinel || m->NodeRight != sentinel || m->NodeParent != last
                || keyOf(m) != key || serialOf(m) <= serialOf(last))
                return testing::AssertionFailure() << "bad chain member under key " << key;
        }
        if (n->NodeLast != last)
            return testing::AssertionFailure() << "chain end not recorded under key " << key;
    }
    if (heads + members != nodeCount || members != equalCount)
        return testing::AssertionFailure()
            << heads << " heads and " << members << " members, counts say " << nodeCount << " and " << equalCount;
    return testing::AssertionSuccess();
}

std::vector<uint32_t> walkSerials(ElemTree &tree)
{
    std::vector<uint32_t> serials;
    for (ElemRef e = tree.TreeGetMin(); e; e = tree.TreeGetNext())
        serials.push_back(e->serial);
    return serials;
}

std::vector<uint32_t> findSerials(ElemTree &tree, uint32_t key)
{
    std::vector<uint32_t> serials;
    for (ElemRef e = tree.TreefindNode(Elem { key, 0, 0 }); e; e = tree.TreefindNextEQ())
        serials.push_back(e->serial);
    return serials;
}

// What the in-order walk must give for these keys inserted in this order: keys
// ascending, each group newest first.
std::vector<uint32_t> expectedWalk(const std::vector<uint32_t> &keys)
{
    std::vector<uint32_t> serials(keys.size());
    std::iota(serials.begin(), serials.end(), 0u);
    std::sort(serials.begin(), serials.end(),
        [&](uint32_t a, uint32_t b) { return std::pair(keys[a], b) < std::pair(keys[b], a); });
    return serials;
}

} // namespace

TEST(RBTree, KeepsEqualElementsNewestFirst)
{
    ElemTree tree;
    setKeyPredicates(tree);
    const ElemRef a = makeElem(7, 0), b = makeElem(7, 1), c = makeElem(7, 2);
    tree.TreeInsertNode(makeElem(3, 10));
    ElemTree::Node *aNode = tree.TreeInsertNode(a);
    tree.TreeInsertNode(b);
    EXPECT_EQ(tree.TreeInsertNode(c)->NodeData, c);
    tree.TreeInsertNode(makeElem(9, 11));
    EXPECT_EQ(findSerials(tree, 7), (std::vector<uint32_t> { 2, 1, 0 }));
    EXPECT_EQ(tree.TreefindNode(Elem { 8, 0, 0 }), nullptr);
    EXPECT_EQ(tree.TreefindNextEQ(), nullptr);

    // The distinct walk gives the heads, even when started inside a chain.
    EXPECT_EQ(tree.TreefindNode(Elem { 7, 0, 0 }), c);
    EXPECT_EQ(tree.Tree_v2_GetNextNonEqual()->NodeData->serial, 11u);
    EXPECT_EQ(tree.Tree_v2_GetMinNonEqual()->NodeData->serial, 10u);
    EXPECT_EQ(tree.Tree_v2_GetNextNonEqual(), aNode);
    EXPECT_EQ(tree.Tree_v2_GetNextNonEqual()->NodeData->serial, 11u);
    EXPECT_EQ(tree.Tree_v2_GetNextNonEqual(), nullptr);

    const auto heads = tree.Tree_v2_GetNonEqDataArray();
    ASSERT_TRUE(heads.has_value());
    ASSERT_EQ(heads->size(), 3u);
    EXPECT_EQ((*heads)[1], a);
}

TEST(RBTree, RefusesNullElementsAndMissingPredicates)
{
    ElemTree tree;
    EXPECT_EQ(tree.TreeInsertNode(nullptr), nullptr);
    ASSERT_NE(tree.TreeInsertNode(makeElem(1, 0)), nullptr);
    EXPECT_EQ(tree.TreeInsertNode(makeElem(2, 1)), nullptr);
    EXPECT_EQ(tree.TreefindNode(Elem { 1, 0, 0 }), nullptr);
    EXPECT_EQ(tree.TreeNodeCount(), 1u);
    EXPECT_EQ(tree.TreeGetMin()->key, 1u);
}

// Ordering like the store's: items with the same key are ordered by path, but an item
// without a path is neither less, greater nor equal to one of the same key. Walking by
// the predicates would skip whole subtrees here; the walk must return every element.
TEST(RBTree, WalksElementsTheOrderCannotSeparate)
{
    ElemTree tree;
    tree.setEQBlock([](const Elem &a, const Elem &b) { return a.key == b.key && a.path >= 0 && a.path == b.path; });
    tree.setLTBlock([](const Elem &a, const Elem &b) {
        if (a.key != b.key)
            return a.key < b.key;
        return a.path >= 0 && b.path >= 0 && a.path < b.path;
    });
    const std::vector<std::pair<uint32_t, int>> elements { { 5, -1 }, { 5, 2 }, { 5, 1 }, { 5, -1 }, { 9, -1 },
        { 5, 3 }, { 1, 0 } };
    for (uint32_t i = 0; i < elements.size(); ++i)
        tree.TreeInsertNode(makeElem(elements[i].first, i, elements[i].second));

    std::vector<uint32_t> walked = walkSerials(tree);
    std::sort(walked.begin(), walked.end());
    EXPECT_EQ(walked, (std::vector<uint32_t> { 0, 1, 2, 3, 4, 5, 6 }));
    const auto heads = tree.Tree_v2_GetNonEqDataArray();
    ASSERT_TRUE(heads.has_value());
    EXPECT_EQ(heads->size(), 7u);
    EXPECT_EQ(heads->front()->key, 1u);
    EXPECT_EQ(heads->back()->key, 9u);
}

// 100,000 keys in random, ascending and descending order into one tree, emptied after
// each order: 75,000 distinct even keys, and 25,000 more spread over five of them, so
// five chains of 5,001 elements.
TEST(RBTree, StaysBalancedWalksInOrderAndEmptiesForReuse)
{
    std::vector<uint32_t> keys;
    for (uint32_t i = 0; i < 100000; ++i)
        keys.push_back(i < 75000 ? 2 * i : 2 * 15000 * (i % 5));
    std::shuffle(keys.begin(), keys.end(), std::mt19937(42));
    ElemTree tree;
    setKeyPredicates(tree);
    for (int order = 0; order < 3; ++order) {
        if (order == 1)
            std::sort(keys.begin(), keys.end());
        if (order == 2)
            std::sort(keys.rbegin(), keys.rend());
        ElemTree::Node *first = nullptr;
        for (uint32_t i = 0; i < keys.size(); ++i) {
            ElemTree::Node *node = tree.TreeInsertNode(makeElem(keys[i], i));
            first = first ? first : node;
        }
        EXPECT_EQ(tree.TreeEqualNodeCount(), 25000u);
        EXPECT_TRUE(isSoundTree(
            first, tree.TreeNodeCount(), tree.TreeEqualNodeCount(),
            [](const ElemTree::Node *n) { return n->NodeData->key; },
            [](const ElemTree::Node *n) { return n->NodeData->serial; }));
        EXPECT_EQ(walkSerials(tree), expectedWalk(keys));
        EXPECT_EQ(findSerials(tree, 30000).size(), 5001u);
        EXPECT_TRUE(findSerials(tree, 30001).empty());
        const auto heads = tree.Tree_v2_GetNonEqDataArray();
        ASSERT_TRUE(heads.has_value());
        ASSERT_EQ(heads->size(), 75000u);
        std::map<uint32_t, uint32_t> oldest;
        for (uint32_t i = 0; i < keys.size(); ++i)
            oldest.try_emplace(keys[i], i);
        for (uint32_t i = 0; i < heads->size(); ++i)
            ASSERT_EQ((*heads)[i]->serial, oldest[2 * i]) << "group " << i;
        // Emptying releases every element, those of long chains too.
        const std::weak_ptr<Elem> chained = tree.TreefindNode(Elem { 30000, 0, 0 });
        tree.TreeDelete();
        EXPECT_TRUE(chained.expired());
        EXPECT_EQ(tree.TreeGetMin(), nullptr);
        EXPECT_FALSE(tree.Tree_v2_GetNonEqDataArray().has_value());
    }
}

TEST(RBTree_u32t_u32t, KeepsEqualKeysWhenAllowedAndWalksInKeyOrder)
{
    VeskRBTree_u32t_u32t tree;
    tree.setAllowEQkeys(true);
    std::vector<uint32_t> keys(30000);
    for (uint32_t i = 0; i < keys.size(); ++i)
        keys[i] = i < 10000 ? 0x80000000u + i : (i % 3 == 0 ? 0x80000000u : i * 2654435761u % 100000);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    const VeskTreeNode32t *first = nullptr;
    for (uint32_t i = 0; i < keys.size(); ++i) {
        const VeskTreeNode32t *node = tree.TreeInsert(keys[i], i);
        first = first ? first : node;
    }
    EXPECT_TRUE(isSoundTree(
        first, tree.TreeNodeCount(), tree.TreeEqualNodeCount(), [](const VeskTreeNode32t *n) { return n->key; },
        [](const VeskTreeNode32t *n) { return n->value; }));

    std::vector<uint32_t> walked;
    for (uint32_t v = tree.TreeGetMin(); v != VeskRBTree_u32t_u32t::kNone; v = tree.TreeGetNext())
        walked.push_back(v);
    EXPECT_EQ(walked, expectedWalk(keys));

    std::vector<uint32_t> equal;
    for (uint32_t v = tree.TreefindNode(0x80000000u); v != VeskRBTree_u32t_u32t::kNone; v = tree.TreefindNextEQ())
        equal.push_back(v);
    EXPECT_EQ(equal.size(), size_t(std::count(keys.begin(), keys.end(), 0x80000000u)));
    EXPECT_TRUE(std::is_sorted(equal.rbegin(), equal.rend()));
}
