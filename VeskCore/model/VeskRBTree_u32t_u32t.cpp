#include "model/VeskRBTree_u32t_u32t.h"

namespace {

uint32_t valueOf(const VeskTreeNode32t *node)
{
    return node ? node->value : VeskRBTree_u32t_u32t::kNone;
}

} // namespace

VeskRBTree_u32t_u32t::VeskRBTree_u32t_u32t()
    : VeskRBTreeBase(false)
{
}

VeskTreeNode32t *VeskRBTree_u32t_u32t::TreeInsert(uint32_t key, uint32_t value)
{
    return insertWith([key](const VeskTreeNode32t *x) { return x->key == key; },
        [key](const VeskTreeNode32t *x) { return key < x->key; },
        [key, value](VeskTreeNode32t *z) {
            z->key = key;
            z->value = value;
        });
}

uint32_t VeskRBTree_u32t_u32t::TreefindNode(uint32_t key)
{
    return valueOf(cursorToFind([key](const VeskTreeNode32t *x) { return x->key == key; },
        [key](const VeskTreeNode32t *x) { return key < x->key; }));
}

uint32_t VeskRBTree_u32t_u32t::TreefindNextEQ()
{
    return valueOf(cursorToNextEqual());
}

uint32_t VeskRBTree_u32t_u32t::TreeGetMin()
{
    return valueOf(cursorToMin());
}

uint32_t VeskRBTree_u32t_u32t::TreeGetNext()
{
    return valueOf(cursorToNext());
}
