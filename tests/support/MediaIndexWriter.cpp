#include "MediaIndexWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

MediaIndexWriter &MediaIndexWriter::bigEndian(bool on)
{
    m_bigEndian = on;
    return *this;
}

MediaIndexWriter &MediaIndexWriter::uidWords(uint32_t words)
{
    m_uidWords = words;
    return *this;
}

MediaIndexWriter &MediaIndexWriter::count(uint32_t count)
{
    m_count = count;
    return *this;
}

MediaIndexWriter &MediaIndexWriter::magic(uint32_t magic)
{
    m_magic = magic;
    return *this;
}

MediaIndexWriter &MediaIndexWriter::firstUIDNumber(uint64_t number)
{
    m_firstUIDNumber = number;
    return *this;
}

MediaIndexWriter &MediaIndexWriter::record(const QByteArray &clipName, const QByteArray &projectName)
{
    return record(MediaIndexRecord { .clipName = clipName, .projectName = projectName });
}

MediaIndexWriter &MediaIndexWriter::record(const MediaIndexRecord &record)
{
    m_records.append(record);
    return *this;
}

QByteArray MediaIndexWriter::bytes() const
{
    QByteArray out;
    appendWord(out, m_magic);
    appendWord(out, m_uidWords);
    appendWord(out, m_count.value_or(uint32_t(m_records.size())));
    for (qsizetype i = 0; i < m_records.size(); ++i)
        out += recordBytes(i);
    return out;
}

QByteArray MediaIndexWriter::recordBytes(qsizetype i) const
{
    const MediaIndexRecord &r = m_records.at(i);
    const uint64_t number = m_firstUIDNumber + uint64_t(i);
    QByteArray out;
    out += r.fileUID.isEmpty() ? makeUID(m_uidWords, number, false) : r.fileUID;
    appendLength(out, r.clipNameLength.value_or(uint16_t(r.clipName.size())));
    out += r.clipName;
    appendLength(out, r.projectNameLength.value_or(uint16_t(r.projectName.size())));
    out += r.projectName;
    out += r.materialUID.isEmpty() ? makeUID(m_uidWords, number, true) : r.materialUID;
    out += r.trailer;
    return out;
}

bool MediaIndexWriter::writeTo(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes());
    return file.commit();
}

QByteArray MediaIndexWriter::makeUID(uint32_t words, uint64_t number, bool material)
{
    if (words != 8 && words != 2)
        return {};
    // Word 5 carries a tag so that the file and material UIDs of one number differ.
    const uint32_t tag = material ? 0x4D000000 : 0x46000000;
    uchar identity[8];
    qToLittleEndian(uint32_t(number), identity);
    qToLittleEndian(uint32_t(number >> 32) ^ tag, identity + 4);
    if (words == 2)
        return QByteArray(reinterpret_cast<const char *>(identity), 8);
    // SMPTE UMID: universal label, length, instance number, then the material number.
    QByteArray uid = QByteArray::fromHex("060a2b340101010501010d2013000000");
    uid += QByteArray(reinterpret_cast<const char *>(identity), 8);
    uid += QByteArray::fromHex("0a0b0c0d0e0f1011");
    return uid;
}

void MediaIndexWriter::appendWord(QByteArray &out, uint32_t value) const
{
    uchar word[4];
    m_bigEndian ? qToBigEndian(value, word) : qToLittleEndian(value, word);
    out.append(reinterpret_cast<const char *>(word), 4);
}

void MediaIndexWriter::appendLength(QByteArray &out, uint16_t value) const
{
    uchar length[2];
    m_bigEndian ? qToBigEndian(value, length) : qToLittleEndian(value, length);
    out.append(reinterpret_cast<const char *>(length), 2);
}
