#include "model/VeskColumns.h"

#include <QHash>

namespace {

struct ColumnRow {
    const char *identifier;
    const char *title;
    const char *sortKey;
    VeskColumnID id;
};

std::vector<VeskColumn> makeColumns(std::initializer_list<ColumnRow> rows)
{
    std::vector<VeskColumn> columns;
    for (const ColumnRow &row : rows)
        columns.push_back({ QString::fromLatin1(row.identifier), QString::fromLatin1(row.title),
            QString::fromLatin1(row.sortKey), row.id });
    return columns;
}

using ID = VeskColumnID;

} // namespace

const std::vector<VeskColumn> &VeskColumns::databaseColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        { "IconCellID", "", "", ID::Icon },
        { "FilenameCellID", "File Name", "filename", ID::Filename },
        { "ClipnameCellID", "Clip Name", "clipname", ID::Clipname },
        { "ProjectCellID", "Project", "project", ID::Project },
        { "SizeCellID", "Size", "filesize", ID::Size },
        { "DateCellID", "Created", "filedate", ID::Date },
        { "CompressionCellID", "Compression", "compression", ID::Compression },
        { "FramerateCellID", "Frame Rate", "framerate", ID::Framerate },
        { "SamplerateCellID", "Sample Rate", "samplerate", ID::Samplerate },
        { "BitsCellID", "Bits", "bits", ID::Bits },
        { "KindCellID", "Kind", "", ID::Kind },
        { "PathCellID", "Path", "path", ID::Path },
        { "ExistsCellID", "Exists", "", ID::Exists },
        { "filePackageUID", "File Package UID", "fileUID", ID::FilePackageUID },
        { "materialPackageUID", "Material Package UID", "materialUID", ID::MaterialPackageUID },
        { "hash", "Hash", "hash", ID::Hash },
        { "sourceFileID", "Source File ID", "", ID::SourceFileID },
        { "sourceTapeID", "Source Tape ID", "", ID::SourceTapeID },
    });
    return columns;
}

const std::vector<VeskColumn> &VeskColumns::projectSummaryColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        { "ProjectCellID", "Project", "", ID::Project },
        { "SizeCellID", "Size", "", ID::Size },
        { "CountCellID", "Files", "", ID::Count },
    });
    return columns;
}

const std::vector<VeskColumn> &VeskColumns::projectFilterColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        { "CheckCellID", "", "", ID::Check },
        { "ProjectCellID", "Project", "", ID::Project },
        { "SizeCellID", "Size", "", ID::Size },
    });
    return columns;
}

const std::vector<VeskColumn> &VeskColumns::databaseSummaryColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        { "Items In Database", "Items In Database", "", ID::ItemsInDatabase },
        { "Projects count", "Projects count", "", ID::ProjectsCount },
        { "Filtered Items", "Filtered Items", "", ID::FilteredItems },
        { "Selected Items", "Selected Items", "", ID::SelectedItems },
        { "Filtered Size", "Filtered Size", "", ID::FilteredSize },
        { "Selected Size", "Selected Size", "", ID::SelectedSize },
    });
    return columns;
}

const VeskColumn *VeskColumns::databaseColumn(const QString &identifier)
{
    for (const VeskColumn &column : databaseColumns())
        if (column.identifier == identifier)
            return &column;
    return nullptr;
}

VeskColumnID VeskColumns::columnID(const QString &identifier)
{
    static const QHash<QString, VeskColumnID> ids = [] {
        QHash<QString, VeskColumnID> all;
        for (const auto *table :
            { &databaseColumns(), &projectSummaryColumns(), &projectFilterColumns(), &databaseSummaryColumns() })
            for (const VeskColumn &column : *table)
                all.insert(column.identifier, column.id);
        return all;
    }();
    return ids.value(identifier, VeskColumnID::Unknown);
}

VeskColumnID VeskColumns::sortColumn(const QString &sortKey)
{
    if (sortKey.isEmpty())
        return VeskColumnID::Unknown;
    for (const VeskColumn &column : databaseColumns())
        if (column.sortKey == sortKey)
            return column.id;
    return VeskColumnID::Unknown;
}
