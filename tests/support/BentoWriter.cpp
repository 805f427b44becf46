#include "BentoWriter.h"

BentoWriter::BentoWriter(bool bigEndian)
    : m_magic(QByteArray::fromHex("A4434DA5486472D7"))
    , m_mark(bigEndian ? 0x4D4D : 0x4949)
    , m_bigEndian(bigEndian)
{
}

QByteArray BentoWriter::referenceList(const QList<uint32_t> &objectIDs, std::optional<uint16_t> count) const
{
    QByteArray out = u16(count.value_or(uint16_t(objectIDs.size())));
    for (uint32_t id : objectIDs)
        out += bytesOfNumber(id) + bytesOfNumber(0u); // the second word of the element is not interpreted
    return out;
}

QByteArray BentoWriter::mobList(
    const QList<QPair<QByteArray, uint32_t>> &uidsAndObjects, std::optional<uint16_t> count) const
{
    QByteArray out = u16(count.value_or(uint16_t(uidsAndObjects.size())));
    for (const auto &[uid, object] : uidsAndObjects)
        out += bytesOfNumber(0u) + uid.left(8).leftJustified(8, '\0') + bytesOfNumber(object) + bytesOfNumber(0u);
    return out;
}

BentoWriter &BentoWriter::stored(uint32_t object, uint32_t property, uint32_t type, const QByteArray &value)
{
    m_entries.append({ object, property, type, uint32_t(m_values.size()), uint32_t(value.size()), 1 });
    m_values.append(value);
    return *this;
}

BentoWriter &BentoWriter::immediate(uint32_t object, uint32_t property, uint32_t type, const QByteArray &value)
{
    const QByteArray field = value.left(4).leftJustified(4, '\0');
    m_entries.append({ object, property, type, qFromLittleEndian<uint32_t>(field.constData()),
        uint32_t(qMin(value.size(), qsizetype(4))), 0 });
    return *this;
}

BentoWriter &BentoWriter::raw(const BentoTocEntry &entry)
{
    m_entries.append(entry);
    return *this;
}

BentoWriter &BentoWriter::name(uint32_t id, const QByteArray &name, bool isType)
{
    return stored(id, isType ? 23 : 24, 21, name); // 21: 7-bit ASCII
}

uint32_t BentoWriter::tocStart() const
{
    const qsizetype tocBytes = m_entries.size() * kEntrySize;
    return uint32_t(qMax(m_values.size(), kMinimumFileSize - kLabelSize - tocBytes));
}

QByteArray BentoWriter::label(uint32_t tocStart, uint32_t tocSize) const
{
    // Flags and minor version are not interpreted.
    return m_magic + bytesOfNumber<uint16_t>(0) + bytesOfNumber(m_mark) + bytesOfNumber(m_majorVersion)
        + bytesOfNumber<uint16_t>(0) + bytesOfNumber(m_tocOffset.value_or(tocStart))
        + bytesOfNumber(m_tocSize.value_or(tocSize));
}

QByteArray BentoWriter::bytes() const
{
    const uint32_t start = tocStart();
    QByteArray out = m_values;
    out.append(start - m_values.size(), '\0');
    for (const BentoTocEntry &e : m_entries)
        for (uint32_t word : { e.object, e.property, e.type, e.offset, e.length, e.storage })
            out += bytesOfNumber(word);
    out.append(label(start, uint32_t(m_entries.size() * kEntrySize)));
    return out;
}
