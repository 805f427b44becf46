#include "model/VeskColumns.h"

#include <QHash>

namespace {

struct ColumnRow {
    const char *identifier;
    const char *title;
    const char *sortKey;
    VeskColumnID id;
    const char *name = "";
};

std::vector<VeskColumn> makeColumns(std::initializer_list<ColumnRow> rows)
{
    std::vector<VeskColumn> columns;
    for (const ColumnRow &row : rows)
        columns.push_back({ QString::fromLatin1(row.identifier), QString::fromLatin1(row.title),
            QString::fromLatin1(row.sortKey), row.id, QString::fromLatin1(row.name) });
    return columns;
}

using ID = VeskColumnID;

} // namespace

const std::vector<VeskColumn> &VeskColumns::databaseColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        { "IconCellID", "", "", ID::Icon, "" },
        { "FilenameCellID", "File Name", "filename", ID::Filename, "fileName" },
        { "ClipnameCellID", "Clip Name", "clipname", ID::Clipname, "clipName" },
        { "ProjectCellID", "Project", "project", ID::Project, "project" },
        { "SizeCellID", "Size", "filesize", ID::Size, "size" },
        { "DateCellID", "Created", "filedate", ID::Date, "created" },
        { "CompressionCellID", "Compression", "compression", ID::Compression, "compression" },
        { "FramerateCellID", "Frame Rate", "framerate", ID::Framerate, "frameRate" },
        { "SamplerateCellID", "Sample Rate", "samplerate", ID::Samplerate, "sampleRate" },
        { "BitsCellID", "Bits", "bits", ID::Bits, "bits" },
        { "KindCellID", "Kind", "", ID::Kind, "kind" },
        { "PathCellID", "Path", "path", ID::Path, "path" },
        { "ExistsCellID", "Exists", "", ID::Exists, "exists" },
        { "filePackageUID", "File Package UID", "fileUID", ID::FilePackageUID, "fileUID" },
        { "materialPackageUID", "Material Package UID", "materialUID", ID::MaterialPackageUID, "materialUID" },
        { "hash", "Hash", "hash", ID::Hash, "" },
        { "sourceFileID", "Source File ID", "", ID::SourceFileID, "" },
        { "sourceTapeID", "Source Tape ID", "", ID::SourceTapeID, "" },
        { "UsedByBinsCellID", "Bins", "bins", ID::UsedByBins, "bins" },
    });
    return columns;
}

const std::vector<VeskColumn> &VeskColumns::projectSummaryColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        { "ProjectCellID", "Project", "", ID::Project, "project" },
        { "SizeCellID", "Size", "", ID::Size, "size" },
        { "CountCellID", "Files", "", ID::Count, "files" },
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

QStringList VeskColumns::names(const std::vector<VeskColumn> &columns)
{
    QStringList names;
    for (const VeskColumn &column : columns)
        if (!column.name.isEmpty())
            names.push_back(column.name);
    return names;
}

QStringList VeskColumns::sortKeyNames()
{
    QStringList names;
    for (const VeskColumn &column : databaseColumns())
        if (!column.name.isEmpty() && !column.sortKey.isEmpty())
            names.push_back(column.name);
    return names;
}

const VeskColumn *VeskColumns::columnNamed(const std::vector<VeskColumn> &columns, const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    for (const VeskColumn &column : columns)
        for (const QString *alias : { &column.name, &column.identifier, &column.sortKey })
            if (name.compare(*alias, Qt::CaseInsensitive) == 0)
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
    const VeskColumn *column = columnNamed(databaseColumns(), sortKey);
    return column && !column->sortKey.isEmpty() ? column->id : VeskColumnID::Unknown;
}
