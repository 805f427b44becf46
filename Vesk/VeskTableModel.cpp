#include "VeskTableModel.h"

#include "VeskMimePasteboard.h"

#include "model/VeskCore.h"
#include "model/VeskTableView.h"

#include <QMimeData>

#include <algorithm>
#include <limits>
#include <set>

namespace {

QIcon &iconStorage()
{
    static QIcon icon;
    return icon;
}

} // namespace

VeskTableModel::VeskTableModel(VeskCore &core, QString tableId, std::vector<VeskColumn> columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_core(core)
    , m_tableId(std::move(tableId))
    , m_columns(std::move(columns))
{
    m_rows = int(std::min<uint64_t>(m_core.numberOfRowsInTableView(m_tableId), std::numeric_limits<int>::max()));
}

void VeskTableModel::setVideoIcon(const QIcon &icon)
{
    iconStorage() = icon;
}

const QIcon &VeskTableModel::videoIcon()
{
    return iconStorage();
}

int VeskTableModel::columnOf(const QString &identifier) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].identifier == identifier)
            return int(i);
    return -1;
}

bool VeskTableModel::reload()
{
    const int rows
        = int(std::min<uint64_t>(m_core.numberOfRowsInTableView(m_tableId), std::numeric_limits<int>::max()));
    if (rows != m_rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return true;
    }
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
    return false;
}

int VeskTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int VeskTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

bool VeskTableModel::isCheckColumn(int column) const
{
    return m_tableId == VeskTableID::ProjectFilter && m_columns[size_t(column)].id == VeskColumnID::Check;
}

Qt::Alignment VeskTableModel::alignment(int column) const
{
    if (m_tableId == VeskTableID::DatabaseSummary)
        return Qt::AlignCenter;
    switch (m_columns[size_t(column)].id) {
    case VeskColumnID::Size:
    case VeskColumnID::Count: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QVariant VeskTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const VeskColumn &column = m_columns[size_t(index.column())];
    const uint64_t row = uint64_t(index.row());
    if (column.id == VeskColumnID::Icon)
        return role == Qt::DecorationRole ? QVariant(videoIcon()) : QVariant();
    if (isCheckColumn(index.column())) {
        if (role != Qt::CheckStateRole)
            return {};
        const VeskProjectRef project = m_core.projectAtIndex(row);
        return project && project->mustBeShownInList() ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::DisplayRole)
        return m_core.viewForTableColumn(m_tableId, column.id, row);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(index.column()));
    return {};
}

QVariant VeskTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[size_t(section)].title;
    if (role == Qt::InitialSortOrderRole)
        return Qt::AscendingOrder;
    return {};
}

Qt::ItemFlags VeskTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isCheckColumn(index.column()))
        flags |= Qt::ItemIsUserCheckable;
    if (m_tableId == VeskTableID::Database)
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

bool VeskTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || !isCheckColumn(index.column()))
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (!m_checkHandler || !m_checkHandler(uint64_t(index.row()), checked))
        m_core.setCheckStateProject(uint64_t(index.row()), checked);
    Q_EMIT dataChanged(index, index, { Qt::CheckStateRole });
    return true;
}

QStringList VeskTableModel::mimeTypes() const
{
    return { QStringLiteral("text/uri-list"), QStringLiteral("text/plain;charset=utf-8") };
}

QMimeData *VeskTableModel::mimeData(const QModelIndexList &indexes) const
{
    std::set<uint64_t> rows;
    for (const QModelIndex &index : indexes)
        rows.insert(uint64_t(index.row()));
    return mimeDataForRows({ rows.begin(), rows.end() });
}

QMimeData *VeskTableModel::mimeDataForRows(const std::vector<uint64_t> &rows) const
{
    auto *mime = new QMimeData;
    VeskMimePasteboard pasteboard(*mime);
    if (!m_view || !m_core.writeRowsWithIndexes(m_view, rows, pasteboard)) {
        delete mime;
        return nullptr;
    }
    return mime;
}

Qt::DropActions VeskTableModel::supportedDragActions() const
{
    return Qt::CopyAction;
}
