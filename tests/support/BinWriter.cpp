#include "BinWriter.h"

#include "Bytes.h"

namespace {

constexpr int kCreatorLengthOffset = 71;
constexpr int kCreatorRoom = BinWriter::kHeaderLength - kCreatorLengthOffset - 2;

} // namespace

VeskUUID BinWriter::avidUID(uint32_t word4, uint32_t word5)
{
    VeskUUID uid;
    qToLittleEndian(word4, uid.UMIDx.data() + 16);
    qToLittleEndian(word5, uid.UMIDx.data() + 20);
    return uid;
}

QByteArray BinWriter::header(const QByteArray &creator)
{
    QByteArray bytes(kHeaderLength, '\0');
    bytes.replace(0, 12,
        QByteArrayLiteral("\x06\x00"
                          "DomainDJBO"));
    const QByteArray text = creator.left(kCreatorRoom);
    bytes.replace(kCreatorLengthOffset, 2, bytesOfNumber(uint16_t(text.size())));
    bytes.replace(kCreatorLengthOffset + 2, text.size(), text);
    return bytes;
}

QByteArray BinWriter::reference(const VeskUUID &uid)
{
    // Magic, a length-like field that readers skip, kind 0x0202, the eight UID bytes.
    return QByteArrayLiteral("LMSM") + bytesOfNumber<uint32_t>(10) + bytesOfNumber<uint16_t>(0x0202)
        + QByteArray(reinterpret_cast<const char *>(uid.UMIDx.data()) + 16, 8);
}

BinWriter &BinWriter::clip(const QByteArray &name, const std::vector<VeskUUID> &media, int dataBytes)
{
    QByteArray body = bytesOfNumber(uint16_t(name.size())) + name + clipData(dataBytes);
    for (size_t track = 0; track < media.size(); ++track)
        body += bytesOfNumber(uint16_t(track + 1)) + bytesOfNumber<uint32_t>(0) + reference(media[track]);
    return atom(QByteArrayLiteral("PILC"), body);
}

// The body of a file or window atom.
QByteArray BinWriter::named(uint8_t b8, uint8_t b9, const QByteArray &text)
{
    return QByteArray(1, char(b8)) + char(b9) + bytesOfNumber(uint16_t(text.size())) + text;
}

BinWriter &BinWriter::atom(const QByteArray &tag, const QByteArray &body, std::optional<uint32_t> claimedLength)
{
    m_atoms += tag.leftJustified(4, '\0', true) + bytesOfNumber(claimedLength.value_or(uint32_t(body.size()))) + body;
    return *this;
}

QByteArray BinWriter::bytes() const
{
    QByteArray bin = header(m_creator);
    if (m_wrongHeader)
        bin[11] = 'P';
    bin += m_atoms;
    bin += QByteArray(4, '\0') + bytesOfNumber<uint32_t>(kTailLength - 8) + QByteArray(kTailLength - 8, '\0');
    return bin;
}

// Clip attributes as bins hold them: mostly small numbers and zeros, some opaque
// words and some text, from a fixed sequence so that files are reproducible.
QByteArray BinWriter::clipData(int length)
{
    static constexpr char kText[] = "V1 A1 A2 TC1 Tape LOGGED Label Color Source 01:00:00:00 Lens Log Clip LUT ";
    static constexpr uint32_t kTextStarts = sizeof(kText) - 4;
    QByteArray data;
    data.reserve(length + 4);
    while (data.size() < length) {
        m_seed = m_seed * 1664525u + 1013904223u;
        const uint32_t kind = m_seed >> 30;
        if (kind == 0)
            data += bytesOfNumber(m_seed);
        else if (kind == 1)
            data += QByteArray(kText + (m_seed >> 8) % kTextStarts, 4);
        else
            data += bytesOfNumber<uint32_t>((m_seed >> 16) & 0xFF);
    }
    data.truncate(length);
    return data;
}
