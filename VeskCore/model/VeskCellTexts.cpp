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

// Exports leave out the columns that only the screen shows.
std::optional<QString> onScreen(VeskCellTexts::Use use, const QString &text)
{
    return use == VeskCellTexts::Use::Screen ? std::optional<QString>(text) : std::nullopt;
}

} // namespace

std::optional<QString> VeskCellTexts::itemText(
    const VeskDatabaseItem &item, VeskColumnID column, const VeskNameTables &tables, Use use)
{
    switch (column) {
    case VeskColumnID::Path: {
        // Paths are kept as plain text; a name that is not UTF-8 shows as Latin-1.
        const QString path = item.DB_itemPath();
        return path.isEmpty() ? std::nullopt : std::optional<QString>(VeskFileName::displayDecoded(path));
    }
    case VeskColumnID::Filename: return present(item.DB_ClipName());
    case VeskColumnID::Clipname: return present(item.DB_NameInBin());
    case VeskColumnID::Project: return item.get_DB_ProjectName();
    case VeskColumnID::FilePackageUID: return item.getFileUIDString();
    case VeskColumnID::MaterialPackageUID: return item.getMaterialUIDString();
    case VeskColumnID::Exists:
        return item.DB_isAMA() ? QStringLiteral("AMA link")
                               : (item.DB_FileExists() ? QStringLiteral("Yes") : QStringLiteral("NO"));
    case VeskColumnID::Compression: return present(item.DB_CompressionString());
    case VeskColumnID::Framerate: return tables.frameRateTextForItem(item);
    case VeskColumnID::Samplerate:
        return VeskNameTables::isDNxResolution(item.DB_DIDResolutionID()) ? tables.getBitrateTextForItem(item)
                                                                          : tables.sampleRateTextForItem(item);
    case VeskColumnID::Bits: return item.DB_bits() ? QStringLiteral("%1 bit").arg(item.DB_bits()) : QStringLiteral("");
    case VeskColumnID::Kind: return kindText(item.DB_usageCode());
    case VeskColumnID::Size:
        if (!item.DB_FileExists())
            return std::nullopt;
        return VeskFileSize::toHumanBytes(double(item.DB_filesize().value_or(0)));
    case VeskColumnID::Date: return present(item.DB_Date_String());
    case VeskColumnID::Icon: return onScreen(use, QStringLiteral("")); // the cell shows the video icon
    case VeskColumnID::Hash: return onScreen(use, QStringLiteral("%1").arg(item.hash(), 8, 16, QLatin1Char('0')));
    default: return std::nullopt;
    }
}

std::optional<QString> VeskCellTexts::projectText(
    const VeskProject &project, const QString &tableId, VeskColumnID column)
{
    const bool summary = tableId == VeskTableID::ProjectSummary;
    if (!summary && tableId != VeskTableID::ProjectFilter)
        return std::nullopt;
    switch (column) {
    case VeskColumnID::Project: return project.name();
    case VeskColumnID::Size: return VeskFileSize::toHumanBytes(double(project.SizeValue()));
    case VeskColumnID::Count:
        return summary ? std::optional<QString>(QString::number(project.FilesCount())) : std::nullopt;
    default: return std::nullopt;
    }
}
