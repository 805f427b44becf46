#include "VeskDuplicatesModel.h"

#include "platform/VeskFileName.h"
#include "report/VeskFileSize.h"

#include <QStorageInfo>

namespace {

// A group row's internal id is 0; a copy row's is its group's position plus one.
constexpr quintptr kGroupRow = 0;

QString problemTitle(VeskDuplicates::Problem problem)
{
    switch (problem) {
    case VeskDuplicates::Problem::Size: return QObject::tr("Sizes differ");
    case VeskDuplicates::Problem::Content: return QObject::tr("Contents differ");
    case VeskDuplicates::Problem::None: break;
    }
    return {};
}

} // namespace

void VeskDuplicatesModel::setGroups(std::vector<VeskDuplicates::Group> groups)
{
    beginResetModel();
    m_groups = std::move(groups);
    endResetModel();
}

VeskItemRef VeskDuplicatesModel::copyAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == kGroupRow)
        return {};
    return m_groups[index.internalId() - 1].copies[size_t(index.row())];
}

QModelIndex VeskDuplicatesModel::indexOfCopy(size_t group, size_t copy) const
{
    return createIndex(int(copy), 0, quintptr(group + 1));
}

QModelIndex VeskDuplicatesModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    return parent.isValid() ? createIndex(row, column, quintptr(parent.row() + 1))
                            : createIndex(row, column, kGroupRow);
}

QModelIndex VeskDuplicatesModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == kGroupRow)
        return {};
    return createIndex(int(child.internalId() - 1), 0, kGroupRow);
}

int VeskDuplicatesModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_groups.size());
    if (parent.internalId() != kGroupRow || parent.column() != 0)
        return 0;
    return int(m_groups[size_t(parent.row())].copies.size());
}

int VeskDuplicatesModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant VeskDuplicatesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::TextAlignmentRole))
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Size || index.column() == Copies || index.column() == ExtraSize
            ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
            : QVariant();
    if (const VeskItemRef copy = copyAt(index))
        return role == Qt::ToolTipRole && index.column() == Name ? VeskFileName::displayDecoded(copy->DB_itemPath())
                                                                 : copyText(*copy, index.column());
    return groupText(m_groups[size_t(index.row())], index.column());
}

QVariant VeskDuplicatesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[]
        = { "Clip Name / Folder", "Project / Volume", "Size", "Copies", "Extra Size", "Created", "Status" };
    return section >= 0 && section < ColumnCount ? tr(titles[section]) : QVariant();
}

QString VeskDuplicatesModel::groupText(const VeskDuplicates::Group &group, int column) const
{
    const VeskDatabaseItem &first = *group.copies.front();
    switch (column) {
    case Name: return first.DB_NameInBin().isEmpty() ? first.DB_ClipName() : first.DB_NameInBin();
    case Place: return first.get_DB_ProjectName();
    case Size: return VeskFileSize::toHumanBytes(double(group.size));
    case Copies: return QString::number(group.copies.size());
    case ExtraSize: return group.extraSize() ? VeskFileSize::toHumanBytes(double(group.extraSize())) : QString();
    case Status: return problemTitle(group.problem);
    default: return {};
    }
}

QString VeskDuplicatesModel::copyText(const VeskDatabaseItem &copy, int column) const
{
    switch (column) {
    // Copies differ by their folders; the whole path is the row's tooltip.
    case Name: return VeskFileName::displayDecoded(copy.DB_itemFolder());
    case Place: return volumeOf(copy);
    case Created: return copy.DB_Date_String();
    case Status: return copy.DB_FileExists() ? QString() : tr("Missing");
    default: return {};
    }
}

// The mount the copy's folder lives on; looked up once per folder.
QString VeskDuplicatesModel::volumeOf(const VeskDatabaseItem &copy) const
{
    const QString folder = copy.DB_itemFolder();
    auto found = m_volumes.find(folder);
    if (found == m_volumes.end())
        found = m_volumes.insert(folder, QStorageInfo(folder).rootPath());
    return *found;
}
