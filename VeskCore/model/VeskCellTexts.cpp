#include "model/VeskCellTexts.h"

#include "model/VeskColumns.h"
#include "platform/VeskFileName.h"
#include "report/VeskFileSize.h"
#include "report/VeskUtilities.h"

QString VeskCellTexts::kindText(uint32_t usageCode)
{
    switch (usageCode) {
    case 1: return QStringLiteral("PRECOMP");
    case 2: return QStringLiteral("UC_SUBCLIP");
    case 3: return QStringLiteral("UC_EFFECT");
    case 4: return QStringLiteral("UC_GROUP");
    case 5: return QStringLiteral("UC_GROUPOOFTER");
    case 6: return QStringLiteral("UC_MOTION");
    case 8: return QStringLiteral("UC_8");
    case 9: return QStringLiteral("UC_PRECOMPUTE_FILE");
    case 15: return QStringLiteral("IMPORTED");
    default: return QStringLiteral("");
    }
}

namespace {

std::optional<QString> present(const QString &text)
{
    return text.isNull() ? std::nullopt : std::optional<QString>(text);
}

} // namespace

std::optional<QString> VeskCellTexts::itemText(const VeskDatabaseItem &item, const QString &columnId,
                                               const VeskNameTables &tables, Use use)
{
    if (columnId == QLatin1String("PathCellID")) {
        // Paths are kept as plain text; a name that is not UTF-8 shows as Latin-1.
        const QString path = item.DB_itemPath();
        return path.isEmpty() ? std::nullopt : std::optional<QString>(VeskFileName::displayDecoded(path));
    }
    if (columnId == QLatin1String("FilenameCellID"))
        return present(item.DB_ClipName());
    if (columnId == QLatin1String("ClipnameCellID"))
        return present(item.DB_NameInBin());
    if (columnId == QLatin1String("ProjectCellID"))
        return item.get_DB_ProjectName();
    if (columnId == QLatin1String("filePackageUID"))
        return item.getFileUIDString();
    if (columnId == QLatin1String("materialPackageUID"))
        return item.getMaterialUIDString();
    if (columnId == QLatin1String("ExistsCellID"))
        return item.DB_isAMA() ? QStringLiteral("AMA link")
                               : (item.DB_FileExists() ? QStringLiteral("Yes") : QStringLiteral("NO"));
    if (columnId == QLatin1String("CompressionCellID"))
        return present(item.DB_CompressionString());
    if (columnId == QLatin1String("FramerateCellID"))
        return tables.frameRateTextForItem(item);
    if (columnId == QLatin1String("SamplerateCellID"))
        return VeskNameTables::isDNxResolution(item.DB_DIDResolutionID()) ? tables.getBitrateTextForItem(item)
                                                                           : tables.sampleRateTextForItem(item);
    if (columnId == QLatin1String("BitsCellID"))
        return item.DB_bits() ? QStringLiteral("%1 bit").arg(item.DB_bits()) : QStringLiteral("");
    if (columnId == QLatin1String("KindCellID"))
        return kindText(item.DB_usageCode());
    if (columnId == QLatin1String("SizeCellID")) {
        if (!item.DB_FileExists())
            return std::nullopt;
        return VeskFileSize::toHumanBytes(double(item.DB_filesize().value_or(0)));
    }
    if (columnId == QLatin1String("DateCellID"))
        return present(item.DB_Date_String());
    if (columnId == QLatin1String("IconCellID") && use == Use::Screen)
        return QStringLiteral(""); // the cell shows the video icon
    if (columnId == QLatin1String("hash") && use == Use::Screen)
        return QStringLiteral("%1").arg(item.hash(), 8, 16, QLatin1Char('0'));
    return std::nullopt;
}

std::optional<QString> VeskCellTexts::projectText(const VeskProject &project, const QString &tableId,
                                                  const QString &columnId)
{
    const bool summary = tableId == VeskTableID::ProjectSummary;
    if (!summary && tableId != VeskTableID::ProjectFilter)
        return std::nullopt;
    if (columnId == QLatin1String("ProjectCellID"))
        return project.name();
    if (columnId == QLatin1String("SizeCellID"))
        return VeskFileSize::toHumanBytes(double(project.SizeValue()));
    if (columnId == QLatin1String("CountCellID") && summary)
        return QString::number(project.FilesCount());
    return std::nullopt;
}
