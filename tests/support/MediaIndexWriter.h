#pragma once

#include "Bytes.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

/// One record of a media index. Names and UIDs are raw bytes, written as given; an
/// empty UID is generated at write time in the index's UID size. The project name length
/// overrides the true one in the file to make broken records on purpose; the name bytes
/// are written as given either way.
struct MediaIndexRecord {
    QByteArray clipName {};
    QByteArray projectName {};
    QByteArray fileUID {};
    QByteArray materialUID {};
    std::optional<uint16_t> projectNameLength {};
};

/// Writes media index files ("msmFMID.pmr"): header, then records back to back.
/// Defaults: little-endian, 8-word UIDs, a header count equal to the record count.
///
///     MediaIndexWriter().bigEndian().record("A001.mxf", "Show").writeTo(path);
class MediaIndexWriter {
public:
    static constexpr uint32_t kMagic = 1961;

    MediaIndexWriter &bigEndian(bool on = true) { return setField(*this, m_bigEndian, on); }
    /// UID size in 32-bit words: 8 or 2 for a sound file, anything else for a broken one.
    MediaIndexWriter &uidWords(uint32_t words) { return setField(*this, m_uidWords, words); }
    /// A header count independent of the records written.
    MediaIndexWriter &count(uint32_t count) { return setField(*this, m_count, count); }
    MediaIndexWriter &magic(uint32_t magic) { return setField(*this, m_magic, magic); }
    /// The number that the first generated UID carries; later records count up from it.
    MediaIndexWriter &firstUIDNumber(uint64_t number) { return setField(*this, m_firstUIDNumber, number); }
    MediaIndexWriter &record(const QByteArray &clipName, const QByteArray &projectName)
    {
        return record(MediaIndexRecord { .clipName = clipName, .projectName = projectName });
    }
    MediaIndexWriter &record(const MediaIndexRecord &record);

    QByteArray bytes() const;
    /// The bytes of record i alone, as bytes() writes them.
    QByteArray recordBytes(qsizetype i) const;
    bool writeTo(const QString &path) const { return TestFiles::writeFile(path, bytes()); }

    /// A UID of the given size in words whose bytes 16 to 23 (all of an 8-byte UID)
    /// hold the number; a 32-byte one begins with the SMPTE label prefix 06 0A 2B 34.
    /// File and material UIDs of the same number differ.
    static QByteArray makeUID(uint32_t words, uint64_t number, bool material);

private:
    QList<MediaIndexRecord> m_records;
    std::optional<uint32_t> m_count;
    uint32_t m_magic = kMagic;
    uint32_t m_uidWords = 8;
    uint64_t m_firstUIDNumber = 1;
    bool m_bigEndian = false;
};
