#include "model/VeskColumns.h"

#include <array>

namespace {

std::vector<VeskColumn> makeColumns(std::initializer_list<std::array<const char *, 3>> rows)
{
    std::vector<VeskColumn> columns;
    for (const auto &row : rows)
        columns.push_back({QString::fromLatin1(row[0]), QString::fromLatin1(row[1]), QString::fromLatin1(row[2])});
    return columns;
}

} // namespace

const std::vector<VeskColumn> &VeskColumns::databaseColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        {"IconCellID", "", ""},
        {"FilenameCellID", "File Name", "filename"},
        {"ClipnameCellID", "Clip Name", "clipname"},
        {"ProjectCellID", "Project", "project"},
        {"SizeCellID", "Size", "filesize"},
        {"DateCellID", "Created", "filedate"},
        {"CompressionCellID", "Compression", "compression"},
        {"FramerateCellID", "Frame Rate", "framerate"},
        {"SamplerateCellID", "Sample Rate", "samplerate"},
        {"BitsCellID", "Bits", "bits"},
        {"KindCellID", "Kind", ""},
        {"PathCellID", "Path", "path"},
        {"ExistsCellID", "Exists", ""},
        {"filePackageUID", "File Package UID", "fileUID"},
        {"materialPackageUID", "Material Package UID", "materialUID"},
        {"hash", "Hash", "hash"},
        {"sourceFileID", "Source File ID", ""},
        {"sourceTapeID", "Source Tape ID", ""},
    });
    return columns;
}

const std::vector<VeskColumn> &VeskColumns::projectSummaryColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        {"ProjectCellID", "Project", ""},
        {"SizeCellID", "Size", ""},
        {"CountCellID", "Files", ""},
    });
    return columns;
}

const std::vector<VeskColumn> &VeskColumns::projectFilterColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        {"CheckCellID", "", ""},
        {"ProjectCellID", "Project", ""},
        {"SizeCellID", "Size", ""},
    });
    return columns;
}

const std::vector<VeskColumn> &VeskColumns::databaseSummaryColumns()
{
    static const std::vector<VeskColumn> columns = makeColumns({
        {"Items In Database", "Items In Database", ""},
        {"Projects count", "Projects count", ""},
        {"Filtered Items", "Filtered Items", ""},
        {"Selected Items", "Selected Items", ""},
        {"Filtered Size", "Filtered Size", ""},
        {"Selected Size", "Selected Size", ""},
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
