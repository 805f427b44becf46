#include "BentoWriter.h"

#include <QFile>
#include <QtEndian>

namespace {

void appendLE32(QByteArray &out, uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

BentoWriter::BentoWriter(bool bigEndian)
    : m_magic(QByteArray::fromHex("A4434DA5486472D7"))
    , m_mark(bigEndian ? 0x4D4D : 0x4949)
    , m_bigEndian(bigEndian)
{
}

QByteArray BentoWriter::u16(uint16_t value) const
{
    char bytes[2];
    if (m_bigEndian)
        qToBigEndian(value, bytes);
    else
        qToLittleEndian(value, bytes);
    return QByteArray(bytes, 2);
}

QByteArray BentoWriter::u32(uint32_t value) const
{
    char bytes[4];
    if (m_bigEndian)
        qToBigEndian(value, bytes);
    else
        qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray BentoWriter::pair(uint32_t first, uint32_t second) const
{
    return u32(first) + u32(second);
}

QByteArray BentoWriter::reference(uint32_t objectID)
{
    QByteArray out;
    appendLE32(out, objectID);
    return out;
}

QByteArray BentoWriter::referenceList(const QList<uint32_t> &objectIDs, std::optional<uint16_t> count) const
{
    QByteArray out = u16(count.value_or(uint16_t(objectIDs.size())));
    for (uint32_t id : objectIDs) {
        appendLE32(out, id);
        appendLE32(out, 0); // second word of the element, not interpreted
    }
    return out;
}

QByteArray BentoWriter::mobList(
    const QList<QPair<QByteArray, uint32_t>> &uidsAndObjects, std::optional<uint16_t> count) const
{
    QByteArray out = u16(count.value_or(uint16_t(uidsAndObjects.size())));
    for (const auto &[uid, object] : uidsAndObjects) {
        appendLE32(out, 0);
        out.append(uid.left(8).leftJustified(8, '\0'));
        appendLE32(out, object);
        appendLE32(out, 0);
    }
    return out;
}

QByteArray BentoWriter::text(const QByteArray &text)
{
    return text + '\0';
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

BentoWriter &BentoWriter::majorVersion(uint16_t version)
{
    m_majorVersion = version;
    return *this;
}

BentoWriter &BentoWriter::magic(const QByteArray &magic)
{
    m_magic = magic.left(8).leftJustified(8, '\0');
    return *this;
}

BentoWriter &BentoWriter::tocOffset(uint32_t offset)
{
    m_tocOffset = offset;
    return *this;
}

BentoWriter &BentoWriter::tocSize(uint32_t size)
{
    m_tocSize = size;
    return *this;
}

uint32_t BentoWriter::tocStart() const
{
    const qsizetype tocBytes = m_entries.size() * kEntrySize;
    return uint32_t(qMax(m_values.size(), kMinimumFileSize - kLabelSize - tocBytes));
}

QByteArray BentoWriter::label(uint32_t tocStart, uint32_t tocSize) const
{
    QByteArray out = m_magic;
    out.append(2, '\0'); // flags, not interpreted
    char word[2];
    qToLittleEndian(m_mark, word);
    out.append(word, 2);
    qToLittleEndian(m_majorVersion, word);
    out.append(word, 2);
    out.append(2, '\0'); // minor version, not interpreted
    appendLE32(out, m_tocOffset.value_or(tocStart));
    appendLE32(out, m_tocSize.value_or(tocSize));
    return out;
}

QByteArray BentoWriter::bytes() const
{
    const uint32_t start = tocStart();
    QByteArray out = m_values;
    out.append(start - m_values.size(), '\0');
    for (const BentoTocEntry &e : m_entries) {
        for (uint32_t word : { e.object, e.property, e.type, e.offset, e.length, e.storage })
            appendLE32(out, word);
    }
    out.append(label(start, uint32_t(m_entries.size() * kEntrySize)));
    return out;
}

bool BentoWriter::writeTo(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes()) >= 0;
}
