#include "readers/AVBFile.h"

#include "base/VeskByteReader.h"
#include "base/VeskNSLog.h"
#include "platform/VeskFileName.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Version 6, "Domain", then the tag OBJD stored little-endian ("DJBO").
constexpr char kHeader[] = "\x06\x00"
                           "DomainDJBO";
constexpr uint64_t kHeaderLength = sizeof(kHeader) - 1;
constexpr uint64_t kMinimumLength = 119;
constexpr uint64_t kTagOffset = 8;
constexpr uint32_t kObjectTag = 0x4F424A44; // "DJBO" in the file
constexpr uint64_t kCreatorLengthOffset = 71;
constexpr uint64_t kAtomsOffset = 119;
constexpr uint64_t kAtomHeaderLength = 8; // tag, length

// A media reference: "LMSM", four bytes not interpreted, the value 0x0202, then the
// 8-byte file package UID. The search starts where the atoms start and ends 32 bytes
// before the end of the file.
constexpr uint32_t kReferenceMagic = 0x4D534D4C; // "LMSM" read little-endian
constexpr uint64_t kReferenceKindOffset = 8;
constexpr uint16_t kReferenceKind = 0x0202;
constexpr uint64_t kReferenceUIDOffset = 10;
constexpr uint64_t kSearchTail = 32;
// After a match the search goes on 9 bytes further (past the magic, the field after it
// and the first byte of the kind), so a reference may start inside the previous one's UID.
constexpr uint64_t kSkipAfterReference = 9;

constexpr uint32_t kFileAtomTag = 0x46494C45; // "ELIF" in the file
constexpr uint32_t kWindowAtomTag = 0x57494E46; // "FNIW" in the file

// True when some byte of the word is zero.
bool hasZeroByte(uint64_t word)
{
    constexpr uint64_t kOnes = 0x0101010101010101;
    return ((word - kOnes) & ~word & (kOnes << 7)) != 0;
}

// The first offset, from `offset` on and below `end`, of a block of kCandidateBlock offsets
// that may hold the start of a reference. A word-at-a-time filter on the magic's first and
// last byte ('L' at +0, 'M' at +3) tests sixteen offsets at once; the caller checks each
// offset of the block it returns.
constexpr uint64_t kCandidateBlock = 16;
uint64_t nextCandidateBlock(const VeskByteReader &reader, uint64_t offset, uint64_t end)
{
    constexpr uint64_t kFirst = 0x4C4C4C4C4C4C4C4C; // 'L' in every byte
    constexpr uint64_t kLast = 0x4D4D4D4D4D4D4D4D; // 'M' in every byte
    const auto word = [&](uint64_t at) { return reader.readLE<uint64_t>(at).value_or(0); };
    for (; offset + kCandidateBlock <= end; offset += kCandidateBlock) {
        const uint64_t low = (word(offset) ^ kFirst) | (word(offset + 3) ^ kLast);
        const uint64_t high = (word(offset + 8) ^ kFirst) | (word(offset + 11) ^ kLast);
        if (hasZeroByte(low) || hasZeroByte(high))
            break;
    }
    return offset;
}

bool isReferenceAt(const VeskByteReader &reader, uint64_t offset)
{
    return reader.readLE<uint32_t>(offset) == kReferenceMagic
        && reader.readLE<uint16_t>(offset + kReferenceKindOffset) == kReferenceKind;
}

AVBFileUID uidAt(const VeskByteReader &reader, uint64_t offset)
{
    return { reader.readLE<uint32_t>(offset).value_or(0), reader.readLE<uint32_t>(offset + 4).value_or(0) };
}

QString latin1At(const VeskByteReader &reader, uint64_t offset, uint64_t length)
{
    const std::span<const uint8_t> text = reader.bytes(offset, length);
    return QString::fromLatin1(reinterpret_cast<const char *>(text.data()), qsizetype(text.size()));
}

} // namespace

VeskItemRef AVBFileUID::makeProbe() const
{
    auto probe = std::make_shared<VeskDatabaseItem>();
    qToLittleEndian(word4, probe->DB_filePackageUID()->UMIDx.data() + 16);
    qToLittleEndian(word5, probe->DB_filePackageUID()->UMIDx.data() + 20);
    return probe;
}

QString AVBFileUID::text() const
{
    std::array<uint8_t, 8> bytes;
    qToLittleEndian(word4, bytes.data());
    qToLittleEndian(word5, bytes.data() + 4);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes.data()), 8).toHex());
}

bool AVBFile::isBin(const QByteArray &bytes)
{
    return uint64_t(bytes.size()) >= kMinimumLength && std::memcmp(bytes.constData(), kHeader, kHeaderLength) == 0;
}

bool AVBFile::dataWithContentsOfURL(const QString &path)
{
    return loadFile(path) == Status::Sound;
}

// Sound here means only that the file is a bin and its bytes are kept.
AVBFile::Status AVBFile::loadFile(const QString &path)
{
    filedata.clear();
    // A FIFO or a device named like a bin would block the read or never end.
    QFile file;
    if (!VeskFileName::openForReading(file, path))
        return Status::Unreadable;
    if (uint64_t(file.size()) < kMinimumLength)
        return Status::NotABin;
    // Anything can be dropped on the drop zone: look at the header before reading the rest.
    if (file.read(qint64(kHeaderLength)) != QByteArray(kHeader, qsizetype(kHeaderLength)))
        return Status::NotABin;
    QByteArray bytes;
    if (file.seek(0))
        bytes = file.readAll();
    if (bytes.size() != file.size() || file.error() != QFileDevice::NoError)
        return Status::Unreadable;
    if (!dataWithBytes(std::move(bytes)))
        return Status::NotABin;
    VESK_LOG(QStringLiteral("Opened avid BIN %1").arg(path));
    return Status::Sound;
}

AVBFile::Status AVBFile::readBin(const QString &path)
{
    if (const Status loaded = loadFile(path); loaded != Status::Sound)
        return loaded;
    if (!atomsEndAtEndOfFile())
        return Status::Damaged;
    return getUIDS().empty() ? Status::NoReferences : Status::Sound;
}

QString AVBFile::statusText(Status status, const QString &path)
{
    switch (status) {
    case Status::Sound: return {};
    case Status::NoReferences: return QStringLiteral("bin %1 references no media").arg(path);
    case Status::Unreadable: return QStringLiteral("cannot read bin %1").arg(path);
    case Status::NotABin: return QStringLiteral("not a bin: %1").arg(path);
    case Status::Damaged:
        return QStringLiteral("damaged bin: %1 (its atoms do not end at the end of the file)").arg(path);
    }
    return {};
}

bool AVBFile::dataWithBytes(QByteArray bytes)
{
    if (!isBin(bytes))
        return false;
    filedata = std::move(bytes);
    return true;
}

bool AVBFile::atomsEndAtEndOfFile() const
{
    const VeskByteReader reader(filedata);
    if (reader.size() < kAtomsOffset)
        return false;
    uint64_t offset = kAtomsOffset;
    while (offset < reader.size()) {
        // offset < size and a length below 2^32: the sum cannot overflow.
        const std::optional<uint32_t> length = reader.readLE<uint32_t>(offset + 4);
        if (!length)
            return false;
        offset += kAtomHeaderLength + *length;
    }
    return offset == reader.size();
}

// One pass over the file: blocks without a candidate are skipped sixteen offsets at a
// time, and only the offsets of the other blocks are compared one by one.
std::vector<AVBFileUID> AVBFile::getUIDS() const
{
    std::vector<AVBFileUID> uids;
    const VeskByteReader reader(filedata);
    if (reader.size() <= kAtomsOffset + kSearchTail)
        return uids;
    const uint64_t searchEnd = reader.size() - kSearchTail; // a reference starts below this
    uint64_t offset = kAtomsOffset;
    while (offset < searchEnd) {
        offset = nextCandidateBlock(reader, offset, searchEnd);
        const uint64_t blockEnd = std::min(offset + kCandidateBlock, searchEnd);
        while (offset < blockEnd) {
            if (isReferenceAt(reader, offset)) {
                uids.push_back(uidAt(reader, offset + kReferenceUIDOffset));
                offset += kSkipAfterReference;
            } else {
                ++offset;
            }
        }
    }
    return uids;
}

std::vector<VeskItemRef> AVBFile::probes() const
{
    std::vector<VeskItemRef> probes;
    for (const AVBFileUID &uid : getUIDS())
        probes.push_back(uid.makeProbe());
    return probes;
}

std::vector<AVBFileUID> AVBFile::getAMAUIDS() const
{
    VESK_LOG(QStringLiteral("avb::0001::Bin header matched pattern"));
    VESK_LOG(QStringLiteral("<Domain>"));
    logCreator();
    uint64_t offset = kAtomsOffset;
    const QString atoms = atomWalkText(offset);
    VESK_LOG(atoms);
    VESK_LOG(QString::asprintf("<%08llx :: Bin EOF", static_cast<unsigned long long>(offset)));
    return {};
}

void AVBFile::logCreator() const
{
    const VeskByteReader reader(filedata);
    if (reader.readLE<uint32_t>(kTagOffset) != kObjectTag)
        return;
    const uint16_t length = reader.readLE<uint16_t>(kCreatorLengthOffset).value_or(0);
    // A creator text longer than the file is not shown rather than shown in part.
    const QString creator = latin1At(reader, kCreatorLengthOffset + 2, length);
    VESK_LOG(QStringLiteral("<00000008 :: DJBO, len 0x6f> created with \"%1\"").arg(creator));
}

// Walks the atoms from `offset`, describing the file and window atoms; leaves `offset`
// where the walk ended. An atom whose header or text would reach past the end of the
// file ends the walk.
QString AVBFile::atomWalkText(uint64_t &offset) const
{
    const VeskByteReader reader(filedata);
    QString text = QStringLiteral("\n");
    while (offset < reader.size()) {
        const std::optional<uint32_t> tag = reader.readLE<uint32_t>(offset);
        const std::optional<uint32_t> length = reader.readLE<uint32_t>(offset + 4);
        if (!tag || !length)
            break;
        if (*tag == kFileAtomTag || *tag == kWindowAtomTag) {
            const std::optional<uint16_t> nameLength = reader.readLE<uint16_t>(offset + 10);
            if (!nameLength || !reader.fits(offset + 12, *nameLength))
                break;
            text += QStringLiteral("<%1 :: %2, len %3> b+8 = %4 b+9 = %5\n-1-> %6\n")
                        .arg(QString::asprintf("%08llx", static_cast<unsigned long long>(offset)),
                            latin1At(reader, offset, 4), QString::asprintf("%08x", *length),
                            QString::asprintf("%02x", reader.data()[offset + 8]),
                            QString::asprintf("%02x", reader.data()[offset + 9]),
                            latin1At(reader, offset + 12, *nameLength));
        }
        offset += kAtomHeaderLength + *length;
    }
    return text;
}

QString AVBFile::hexlifyRawBytes(const uint8_t *bytes, uint64_t length)
{
    if (!bytes || length == 0)
        return {};
    static constexpr char kDigits[] = "0123456789abcdef";
    QByteArray text;
    text.reserve(qsizetype(length * 3 + length / 4 * 2));
    for (uint64_t i = 0; i < length; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
        text += (i % 4 == 3) ? " | " : " ";
    }
    return QString::fromLatin1(text);
}
