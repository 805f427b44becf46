#include "readers/VeskOMFIInspectorText.h"

#include "base/VeskByteReader.h"
#include "readers/VeskBentoText.h"
#include "readers/VeskOMFI.h"

#include <algorithm>

namespace {

namespace Type {
constexpr uint32_t TocType = 19, Boolean = 0x10045, Char = 0x1004a, ExactEditRate = 0x10059, Long = 0x10068;
constexpr uint32_t MobIndex = 0x1006d, ObjRefArray = 0x1007c, ClassID = 0x10081, Short = 0x1008b;
constexpr uint32_t String = 0x10090, UID = 0x1009f, ULong = 0x100a9, UShort = 0x100b3;
} // namespace Type

constexpr uint32_t kUTF8StringProperty = 0x102e0;
constexpr uint32_t kStringAttributeProperty = 0x1027f;
constexpr uint32_t kMobIDProperty = 0x1032e;
constexpr uint32_t kNameProperties[] = { 0x1027f, 0x10298, 0x1029d, 0x10257, 0x102e1 };
constexpr size_t kDumpLimit = 256; // longer values are dumped in part
constexpr size_t kDumpPart = 128;
constexpr size_t kDumpLineBytes = 24;

QString hex(uint64_t value)
{
    return QString::number(value, 16);
}

QString hexByte(uint8_t byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
}

} // namespace

VeskOMFIInspectorText::VeskOMFIInspectorText(const VeskOMFI &omfi)
    : m_omfi(omfi)
{
}

QString VeskOMFIInspectorText::nameOrHex(uint32_t id) const
{
    return m_omfi.nameForID(id).value_or(hex(id));
}

QString VeskOMFIInspectorText::genericText(uint32_t t) const
{
    const VeskOMFI::TOC e = *m_omfi.tocEntry(t);
    return QStringLiteral("[ ID=%1 ] %2 [ValueType:%3] = %4[0x%5 : 0x%6 ] tocindex:0x%7")
        .arg(nameOrHex(e.objectID), nameOrHex(e.propertyID), nameOrHex(e.typeID),
            e.isStored() ? QStringLiteral("ext") : QStringLiteral("int"), hex(e.valueOffset), hex(e.valueLength),
            hex(t));
}

// Texts are shown without the terminating zeros their writers store.
std::optional<QString> VeskOMFIInspectorText::stringValue(uint32_t t) const
{
    const std::span<const uint8_t> value = m_omfi.pDataFor(t);
    if (value.empty())
        return std::nullopt;
    const std::optional<QString> text = m_omfi.tocEntry(t)->propertyID == kUTF8StringProperty
        ? VeskBentoText::utf8(value)
        : VeskBentoText::platformText(value, m_omfi.isII());
    if (!text)
        return std::nullopt;
    return VeskBentoText::trimZeros(*text);
}

QString VeskOMFIInspectorText::StringForTocIndexItem(uint32_t t) const
{
    const std::optional<VeskOMFI::TOC> e = m_omfi.tocEntry(t);
    if (!e)
        return {};
    const QString object = nameOrHex(e->objectID);
    const QString property = nameOrHex(e->propertyID);
    const QString quoted = QStringLiteral("\"%1\"  [ ID=%2 ][%3] tocindex:0x%4");
    switch (e->typeID) {
    case Type::TocType:
    case Type::MobIndex:
    case Type::ObjRefArray:
        return QStringLiteral("[ ID=%1 ] %2 [ValueType:%3]").arg(object, property, nameOrHex(e->typeID));
    case Type::ExactEditRate: {
        const std::span<const uint8_t> value = m_omfi.pDataFor(t);
        if (value.size() < 8)
            break;
        const QString rate = QStringLiteral("%1/%2").arg(*m_omfi.valueU32(value)).arg(*m_omfi.valueU32(value, 4));
        return QStringLiteral("[ ID=%1 ][%2] \"%3\" tocindex:0x%4").arg(object, property, rate, hex(t));
    }
    case Type::ClassID:
        if (const std::optional<QString> name = GetNameForObjectAt(t))
            return quoted.arg(*name, object, property, hex(t));
        return QStringLiteral("[ ID=%1 ] %2 [ValueType:%3] tocindex:0x%4")
            .arg(object, property, nameOrHex(e->typeID), hex(t));
    case Type::String:
        if (const std::optional<QString> text = stringValue(t))
            return quoted.arg(*text, object, property, hex(t));
        break;
    case Type::UID: return quoted.arg(getStringForUID(t), object, property, hex(t));
    default: break;
    }
    return genericText(t);
}

// The object's name texts joined, and its mob UID, which ends the walk.
std::optional<QString> VeskOMFIInspectorText::GetNameForObjectAt(uint32_t t) const
{
    if (m_omfi.pDataFor(t).empty())
        return std::nullopt;
    const uint32_t object = m_omfi.tocEntry(t)->objectID;
    const uint32_t first = m_omfi.tocIndexOfObject(object);
    if (first == VeskOMFI::kNone || first == 0 || m_omfi.tocEntry(first)->objectID != object)
        return std::nullopt;
    std::optional<QString> name;
    for (uint32_t i = first; i < m_omfi.TOCItemsCount(); ++i) {
        const VeskOMFI::TOC e = *m_omfi.tocEntry(i);
        if (e.objectID != object)
            break;
        if (e.propertyID == kMobIDProperty) {
            const QString uid = getStringForUID(i);
            name = name ? *name + QStringLiteral("\" \"UID:") + uid : uid;
            break;
        }
        if (std::find(std::begin(kNameProperties), std::end(kNameProperties), e.propertyID)
            == std::end(kNameProperties))
            continue;
        const std::span<const uint8_t> value = m_omfi.pDataFor(i);
        if (const std::optional<QString> text = VeskBentoText::platformText(value, m_omfi.isII());
            text && !value.empty())
            name = name.value_or(QString()) + VeskBentoText::trimZeros(*text);
    }
    return name;
}

QString VeskOMFIInspectorText::getStringForUID(uint32_t t) const
{
    const std::span<const uint8_t> bytes = m_omfi.pDataFor(t);
    QString text = QStringLiteral("{ ");
    for (size_t i = 0; i < bytes.size(); ++i) {
        text += hexByte(bytes[i]);
        if (i % 4 == 3 && i + 1 < bytes.size())
            text += QLatin1Char('-');
    }
    return text + QStringLiteral(" }");
}

QString VeskOMFIInspectorText::getExtendedDescriptionFor(const VeskInspectorRow *row) const
{
    if (!row || m_omfi.TOCItemsCount() == 0)
        return QStringLiteral("OMFI:Object ");
    return getDescriptionForTOCindex(row->index);
}

QString VeskOMFIInspectorText::getDescriptionForTOCindex(uint32_t t) const
{
    QString text = QStringLiteral("OMFI:Object ");
    const std::optional<VeskOMFI::TOC> e = m_omfi.tocEntry(t);
    if (!e)
        return text;
    text += QStringLiteral("TOCIndex [ %1 ]\n%2").arg(QString::number(t), hexlifyTOCat(t));
    text += QStringLiteral("\nBento object ID = 0x%1").arg(hex(e->objectID));
    if (const std::optional<QString> name = m_omfi.nameForID(e->propertyID))
        text += QStringLiteral("\nProperty Name = [0x%1]%2").arg(hex(e->propertyID), *name);
    if (const std::optional<QString> name = m_omfi.nameForID(e->typeID))
        text += QStringLiteral("\nProperty Type Name = [0x%1]%2").arg(hex(e->typeID), *name);
    if (e->isStored()) {
        text += QStringLiteral("\nValue is external\n stored at offset 0x%1 has length 0x%2")
                    .arg(hex(e->valueOffset), hex(e->valueLength));
        text += valueDump(t);
    }
    if (e->propertyID == kStringAttributeProperty) {
        const std::span<const uint8_t> value = m_omfi.pDataFor(t);
        if (const std::optional<QString> s = VeskBentoText::platformText(value, m_omfi.isII()); s && !value.empty())
            text += QStringLiteral("\nString Value = %1").arg(VeskBentoText::trimZeros(*s));
    }
    return text + typedValue(t);
}

QString VeskOMFIInspectorText::valueDump(uint32_t t) const
{
    std::span<const uint8_t> bytes = m_omfi.pDataFor(t);
    QString text;
    if (bytes.size() > kDumpLimit) {
        text += QStringLiteral("\nDumping First 128 bytes:");
        bytes = bytes.first(kDumpPart);
    }
    if (bytes.empty())
        return text;
    text += QLatin1Char('\n');
    for (; bytes.size() > kDumpLineBytes; bytes = bytes.subspan(kDumpLineBytes))
        text += hexlifyRawBytes(bytes.first(kDumpLineBytes)) + QLatin1Char('\n');
    return text + hexlifyRawBytes(bytes);
}

// The value read as its type says; nothing for a value too short for the type.
QString VeskOMFIInspectorText::typedValue(uint32_t t) const
{
    const std::span<const uint8_t> value = m_omfi.pDataFor(t);
    const std::optional<uint16_t> u16 = m_omfi.valueU16(value);
    const std::optional<uint32_t> u32 = m_omfi.valueU32(value);
    switch (m_omfi.tocEntry(t)->typeID) {
    case Type::Boolean:
        if (value.empty())
            return {};
        return value[0] ? QStringLiteral("\nomfi_Boolean= TRUE") : QStringLiteral("\nomfi_Boolean= FALSE");
    case Type::Char: return value.empty() ? QString() : QStringLiteral("\nomfi_Char = %1").arg(int(int8_t(value[0])));
    case Type::ExactEditRate:
        if (value.size() < 8)
            return {};
        return QStringLiteral("\nomfi_ExactEditRate = %1/%2").arg(*u32).arg(*m_omfi.valueU32(value, 4));
    case Type::Long: return u32 ? QStringLiteral("\nomfi_Long = %1").arg(int32_t(*u32)) : QString();
    case Type::Short: return u16 ? QStringLiteral("\nomfi_Short = %1").arg(int16_t(*u16)) : QString();
    case Type::String: {
        const std::optional<QString> s = stringValue(t);
        return s ? QStringLiteral("\nString Value = %1").arg(*s) : QString();
    }
    case Type::UID: return value.empty() ? QString() : QStringLiteral("\nomfi_UID:%1").arg(getStringForUID(t));
    case Type::ULong:
        if (!u32)
            return {};
        return QStringLiteral("\nomfi_Ulong = %1\nomfi_Ushort = %2").arg(*u32).arg(*u16);
    case Type::UShort: return u16 ? QStringLiteral("\nomfi_Ushort = %1").arg(*u16) : QString();
    default: return {};
    }
}

QString VeskOMFIInspectorText::hexlifyTOCat(uint32_t t) const
{
    const std::span<const uint8_t> bytes = m_omfi.tocBytes(t);
    if (bytes.empty())
        return {};
    return QStringLiteral("   BentoID  |  Prop Name  |  Prop Type  | Value/offset| Value length|  isExternal |\n")
        + hexlifyRawBytes(bytes);
}

QString VeskOMFIInspectorText::hexlifyRawBytes(std::span<const uint8_t> bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()) * 4);
    for (size_t i = 0; i < bytes.size(); ++i)
        text += hexByte(bytes[i]) + (i % 4 == 3 ? QStringLiteral(" | ") : QStringLiteral(" "));
    return text;
}
