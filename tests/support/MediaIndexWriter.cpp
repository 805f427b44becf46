#include "MediaIndexWriter.h"

#include "Bytes.h"

MediaIndexWriter &MediaIndexWriter::record(const MediaIndexRecord &record)
{
    m_records.append(record);
    return *this;
}

QByteArray MediaIndexWriter::bytes() const
{
    QByteArray out = bytesOfNumber(m_magic, m_bigEndian) + bytesOfNumber(m_uidWords, m_bigEndian)
        + bytesOfNumber(m_count.value_or(uint32_t(m_records.size())), m_bigEndian);
    for (qsizetype i = 0; i < m_records.size(); ++i)
        out += recordBytes(i);
    return out;
}

QByteArray MediaIndexWriter::recordBytes(qsizetype i) const
{
    const MediaIndexRecord &r = m_records.at(i);
    const uint64_t number = m_firstUIDNumber + uint64_t(i);
    return (r.fileUID.isEmpty() ? makeUID(m_uidWords, number, false) : r.fileUID)
        + bytesOfNumber(uint16_t(r.clipName.size()), m_bigEndian) + r.clipName
        + bytesOfNumber(r.projectNameLength.value_or(uint16_t(r.projectName.size())), m_bigEndian) + r.projectName
        + (r.materialUID.isEmpty() ? makeUID(m_uidWords, number, true) : r.materialUID) + QByteArray(4, '\0');
}

QByteArray MediaIndexWriter::makeUID(uint32_t words, uint64_t number, bool material)
{
    if (words != 8 && words != 2)
        return {};
    // Word 5 carries a tag so that the file and material UIDs of one number differ.
    const uint32_t tag = material ? 0x4D000000 : 0x46000000;
    const QByteArray identity = bytesOfNumber(uint32_t(number)) + bytesOfNumber(uint32_t(number >> 32) ^ tag);
    if (words == 2)
        return identity;
    // SMPTE UMID: universal label, length, instance number, then the material number.
    return QByteArray::fromHex("060a2b340101010501010d2013000000") + identity + QByteArray::fromHex("0a0b0c0d0e0f1011");
}
