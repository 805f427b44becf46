#pragma once

#include "Bytes.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

/// One table-of-contents entry as the container stores it: six little-endian words.
struct BentoTocEntry {
    uint32_t object = 0;
    uint32_t property = 0;
    uint32_t type = 0;
    uint32_t offset = 0; ///< value offset, or the immediate value's bytes
    uint32_t length = 0;
    uint32_t storage = 1; ///< 1: stored at offset; anything else: immediate
};

/// Writes Bento containers: the values from the start of the file, padding up to the
/// smallest size a reader accepts, the TOC, and the 24-byte label at the end. Entries
/// are written in the order they are added; the caller keeps each object's entries
/// together. The label can be broken on purpose (magic, version, TOC place and size).
///
///     BentoWriter w;
///     w.stored(0x100, 0x10261, 0x10090, w.text("A001"));
///     QByteArray file = w.bytes();
class BentoWriter {
public:
    static constexpr int kLabelSize = 24;
    static constexpr int kEntrySize = 24;
    static constexpr int kMinimumFileSize = 128;

    /// Values in big-endian order, marked "MM" in the label, when bigEndian.
    explicit BentoWriter(bool bigEndian = false);

    // Values, numbers in the container's value byte order.
    QByteArray u16(uint16_t value) const { return bytesOfNumber(value, m_bigEndian); }
    QByteArray u32(uint32_t value) const { return bytesOfNumber(value, m_bigEndian); }
    QByteArray pair(uint32_t first, uint32_t second) const { return u32(first) + u32(second); }
    /// An object reference: always little-endian.
    static QByteArray reference(uint32_t objectID) { return bytesOfNumber(objectID); }
    /// A count followed by 8-byte elements whose first word references an object.
    QByteArray referenceList(const QList<uint32_t> &objectIDs, std::optional<uint16_t> count = {}) const;
    /// A mob list: a count and 20-byte records of (unread word, 8 UID bytes, object ID, unread word).
    QByteArray mobList(
        const QList<QPair<QByteArray, uint32_t>> &uidsAndObjects, std::optional<uint16_t> count = {}) const;
    /// The text's bytes and a terminating zero.
    static QByteArray text(const QByteArray &text) { return text + '\0'; }

    // Entries.
    BentoWriter &stored(uint32_t object, uint32_t property, uint32_t type, const QByteArray &value);
    /// An immediate value of up to four bytes, kept in the entry's offset field as given.
    BentoWriter &immediate(uint32_t object, uint32_t property, uint32_t type, const QByteArray &value);
    /// An entry written exactly as given, for offsets and lengths that lie on purpose.
    BentoWriter &raw(const BentoTocEntry &entry);
    /// A global name (property 23 for a type, 24 for a property) given to an ID.
    BentoWriter &name(uint32_t id, const QByteArray &name, bool isType = false);

    // Label.
    BentoWriter &majorVersion(uint16_t version) { return setField(*this, m_majorVersion, version); }
    BentoWriter &magic(const QByteArray &value) { return setField(*this, m_magic, value.leftJustified(8, '\0', true)); }
    BentoWriter &tocOffset(uint32_t offset) { return setField(*this, m_tocOffset, offset); }
    BentoWriter &tocSize(uint32_t size) { return setField(*this, m_tocSize, size); }

    const BentoTocEntry &entry(int i) const { return m_entries.at(i); }
    /// File offset at which the TOC will be written.
    uint32_t tocStart() const;
    QByteArray bytes() const;
    bool writeTo(const QString &path) const { return TestFiles::writeFile(path, bytes()); }

private:
    QByteArray label(uint32_t tocStart, uint32_t tocSize) const;

    QByteArray m_values;
    QList<BentoTocEntry> m_entries;
    QByteArray m_magic;
    uint16_t m_mark;
    uint16_t m_majorVersion = 1;
    std::optional<uint32_t> m_tocOffset;
    std::optional<uint32_t> m_tocSize;
    bool m_bigEndian;
};
