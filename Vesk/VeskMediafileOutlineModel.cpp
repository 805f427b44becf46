#include "VeskMediafileOutlineModel.h"

#include "readers/VeskMediafile.h"

struct VeskMediafileOutlineModel::Node {
    VeskInspectorRowRef row; // null for the root and for a reference that was not found
    Node *parent = nullptr;
    int indexInParent = 0;
    bool counted = false;
    std::vector<std::unique_ptr<Node>> children;
};

VeskMediafileOutlineModel::VeskMediafileOutlineModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_root(std::make_unique<Node>())
{
}

VeskMediafileOutlineModel::~VeskMediafileOutlineModel() = default;

void VeskMediafileOutlineModel::setMediafile(std::shared_ptr<VeskMediafile> mediafile)
{
    beginResetModel();
    m_mediafile = std::move(mediafile);
    m_root = std::make_unique<Node>();
    endResetModel();
}

VeskMediafileOutlineModel::Node *VeskMediafileOutlineModel::nodeAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

const VeskInspectorRow *VeskMediafileOutlineModel::rowAt(const QModelIndex &index) const
{
    return index.isValid() ? nodeAt(index)->row.get() : nullptr;
}

// Only the root passes "no row" to the front end: there it means the outline's root.
bool VeskMediafileOutlineModel::isExpandable(const Node &node) const
{
    if (!m_mediafile)
        return false;
    if (&node == m_root.get())
        return true;
    return node.row && m_mediafile->isItemExpandable(node.row.get());
}

void VeskMediafileOutlineModel::countChildren(Node &node) const
{
    if (node.counted)
        return;
    node.counted = true;
    if (isExpandable(node))
        node.children.resize(m_mediafile->numberOfChildrenOfItem(node.row.get()));
}

QModelIndex VeskMediafileOutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    Node *node = nodeAt(parent);
    countChildren(*node);
    if (row < 0 || column != 0 || size_t(row) >= node->children.size())
        return {};
    std::unique_ptr<Node> &child = node->children[size_t(row)];
    if (!child) {
        child = std::make_unique<Node>();
        child->row = m_mediafile->child(uint32_t(row), node->row.get());
        child->parent = node;
        child->indexInParent = row;
    }
    return createIndex(row, 0, child.get());
}

QModelIndex VeskMediafileOutlineModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeAt(child);
    if (!child.isValid() || node->parent == m_root.get())
        return {};
    return createIndex(node->parent->indexInParent, 0, node->parent);
}

int VeskMediafileOutlineModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    Node *node = nodeAt(parent);
    countChildren(*node);
    return int(node->children.size());
}

int VeskMediafileOutlineModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool VeskMediafileOutlineModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant VeskMediafileOutlineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_mediafile || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return m_mediafile->objectValueFor(rowAt(index));
}
