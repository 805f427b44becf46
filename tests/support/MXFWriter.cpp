#include "MXFWriter.h"

#include "Bytes.h"
#include "TestFiles.h"

#include <QList>

namespace {

// Labels and keys of the sets written here (SMPTE 377M; the project name is Avid's).
const QByteArray kHeaderPartitionKey = QByteArray::fromHex("060e2b34020501010d01020101020400"); // closed, complete
const QByteArray kPrimerKey = QByteArray::fromHex("060e2b34020501010d01020101050100");
const QByteArray kIndexSegmentKey = QByteArray::fromHex("060e2b34025301010d01020101100100");
const QByteArray kEssenceElementKey = QByteArray::fromHex("060e2b34010201010d01030116010201"); // clip-wrapped wave
const QByteArray kOpAtomLabel = QByteArray::fromHex("060e2b34040101020d01020110030000");
const QByteArray kOP1aLabel = QByteArray::fromHex("060e2b34040101010d01020101010900");
const QByteArray kWaveClipContainer = QByteArray::fromHex("060e2b34040101010d01030102060200");
const QByteArray kSoundDataDefinition = QByteArray::fromHex("060e2b34040101010103020202000000");
const QByteArray kAvidProjectNameLabel = QByteArray::fromHex("a5fb7b25f61594b962fc3717492d42bf");
const QByteArray kUMIDLabel = QByteArray::fromHex("060a2b340101010501010d0013000000");

// The last byte of a metadata set's key.
enum SetKind : uint8_t {
    Sequence = 0x0f,
    SourceClip = 0x11,
    ContentStorage = 0x18,
    EssenceContainerData = 0x23,
    Preface = 0x2f,
    MaterialPackage = 0x36,
    SourcePackage = 0x37,
    Track = 0x3b,
    WaveDescriptor = 0x48,
};

// Instance UIDs of the sets; a track's sequence and source clip follow it.
constexpr uint8_t PrefaceID = 1, StorageID = 2, MaterialID = 3, MaterialTrackID = 4, FileID = 7, FileTrackID = 8,
                  DescriptorID = 11, EssenceDataID = 12, IndexID = 13;

constexpr uint16_t kProjectNameTag = 0xffff; // dynamic, resolved through the primer
constexpr uint32_t kBodySID = 1;
constexpr uint32_t kIndexSID = 2;
constexpr int64_t kFrames = 2;
constexpr uint32_t kSampleRate = 48000;
constexpr uint32_t kFrameRate = 25;
constexpr uint32_t kBytesPerFrame = kSampleRate / kFrameRate * 2; // mono, 16 bits

template <typename T> QByteArray bigEndian(T value)
{
    return bytesOfNumber(value, true);
}

QByteArray klv(const QByteArray &key, const QByteArray &value)
{
    // A four-byte BER length: 0x83 and three bytes.
    return key + bigEndian<uint32_t>(0x83000000u | uint32_t(value.size())) + value;
}

QByteArray setKey(SetKind kind)
{
    return QByteArray::fromHex("060e2b34025301010d01010101010000").replace(14, 1, QByteArray(1, char(kind)));
}

QByteArray tag(uint16_t localTag, const QByteArray &value)
{
    return bigEndian(localTag) + bigEndian<uint16_t>(uint16_t(value.size())) + value;
}

QByteArray instanceUID(uint8_t instance)
{
    return QByteArray::fromHex("5645534b0000000000000000000000").append(char(instance));
}

QByteArray batch(const QList<QByteArray> &items)
{
    QByteArray bytes = bigEndian<uint32_t>(uint32_t(items.size())) + bigEndian<uint32_t>(16);
    for (const QByteArray &item : items)
        bytes += item;
    return bytes;
}

QByteArray rational(int32_t numerator, int32_t denominator)
{
    return bigEndian(numerator) + bigEndian(denominator);
}

QByteArray utf16(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text)
        bytes += bigEndian<uint16_t>(c.unicode());
    return bytes;
}

QByteArray preface(const std::optional<QString> &projectName)
{
    QByteArray value = tag(0x3c0a, instanceUID(PrefaceID));
    if (projectName)
        value += tag(kProjectNameTag, utf16(*projectName));
    value
        += tag(0x3b03, instanceUID(StorageID)) + tag(0x3b09, kOpAtomLabel) + tag(0x3b0a, batch({ kWaveClipContainer }));
    return klv(setKey(Preface), value);
}

// A track, its sequence and the sequence's one source clip.
QByteArray trackSets(uint8_t track, const QByteArray &sourceUMID, uint32_t sourceTrackID)
{
    const uint8_t sequence = track + 1;
    const uint8_t clip = track + 2;
    const QByteArray component = tag(0x0201, kSoundDataDefinition) + tag(0x0202, bigEndian(kFrames));
    return klv(setKey(Track),
               tag(0x3c0a, instanceUID(track)) + tag(0x4801, bigEndian<uint32_t>(1))
                   + tag(0x4804, bigEndian<uint32_t>(0)) + tag(0x4b01, rational(kFrameRate, 1))
                   + tag(0x4b02, bigEndian<int64_t>(0)) + tag(0x4803, instanceUID(sequence)))
        + klv(setKey(Sequence),
            tag(0x3c0a, instanceUID(sequence)) + component + tag(0x1001, batch({ instanceUID(clip) })))
        + klv(setKey(SourceClip),
            tag(0x3c0a, instanceUID(clip)) + component + tag(0x1201, bigEndian<int64_t>(0)) + tag(0x1101, sourceUMID)
                + tag(0x1102, bigEndian(sourceTrackID)));
}

QByteArray materialPackage(const MXFWriter::Clip &clip, const QByteArray &materialUMID, const QByteArray &fileUMID)
{
    QByteArray value = tag(0x3c0a, instanceUID(MaterialID)) + tag(0x4401, materialUMID);
    if (!clip.clipName.isEmpty())
        value += tag(0x4402, utf16(clip.clipName));
    value += tag(0x4403, batch({ instanceUID(MaterialTrackID) }));
    return klv(setKey(MaterialPackage), value) + trackSets(MaterialTrackID, fileUMID, 1);
}

QByteArray filePackage(const QByteArray &fileUMID)
{
    const QByteArray package = tag(0x3c0a, instanceUID(FileID)) + tag(0x4401, fileUMID)
        + tag(0x4403, batch({ instanceUID(FileTrackID) })) + tag(0x4701, instanceUID(DescriptorID));
    const QByteArray descriptor = tag(0x3c0a, instanceUID(DescriptorID)) + tag(0x3006, bigEndian<uint32_t>(1))
        + tag(0x3001, rational(kFrameRate, 1)) + tag(0x3004, kWaveClipContainer) + tag(0x3d03, rational(kSampleRate, 1))
        + tag(0x3d07, bigEndian<uint32_t>(1)) + tag(0x3d01, bigEndian<uint32_t>(16))
        + tag(0x3d0a, bigEndian<uint16_t>(2)) + tag(0x3d09, bigEndian<uint32_t>(kSampleRate * 2));
    const QByteArray essenceData = tag(0x3c0a, instanceUID(EssenceDataID)) + tag(0x2701, fileUMID)
        + tag(0x3f06, bigEndian(kIndexSID)) + tag(0x3f07, bigEndian(kBodySID));
    return klv(setKey(SourcePackage), package) + trackSets(FileTrackID, QByteArray(32, '\0'), 0)
        + klv(setKey(WaveDescriptor), descriptor) + klv(setKey(EssenceContainerData), essenceData);
}

QByteArray headerMetadata(const MXFWriter::Clip &clip)
{
    const QByteArray materialUMID = clip.materialUMID.isEmpty() ? MXFWriter::umid(1) : clip.materialUMID;
    const QByteArray fileUMID = clip.fileUMID.isEmpty() ? MXFWriter::umid(2) : clip.fileUMID;
    const QByteArray primer
        = bigEndian<uint32_t>(1) + bigEndian<uint32_t>(18) + bigEndian(kProjectNameTag) + kAvidProjectNameLabel;
    const QByteArray storage = tag(0x3c0a, instanceUID(StorageID))
        + tag(0x1901, batch({ instanceUID(MaterialID), instanceUID(FileID) }))
        + tag(0x1902, batch({ instanceUID(EssenceDataID) }));
    return klv(kPrimerKey, primer) + preface(clip.projectName) + klv(setKey(ContentStorage), storage)
        + materialPackage(clip, materialUMID, fileUMID) + filePackage(fileUMID);
}

// Clip-wrapped PCM has a constant edit unit size, so one segment indexes it all.
QByteArray indexSegment()
{
    return klv(kIndexSegmentKey,
        tag(0x3c0a, instanceUID(IndexID)) + tag(0x3f0b, rational(kFrameRate, 1)) + tag(0x3f0c, bigEndian<int64_t>(0))
            + tag(0x3f0d, bigEndian(kFrames)) + tag(0x3f05, bigEndian(kBytesPerFrame))
            + tag(0x3f06, bigEndian(kIndexSID)) + tag(0x3f07, bigEndian(kBodySID)));
}

QByteArray headerPartition(int64_t headerByteCount, int64_t indexByteCount)
{
    const QByteArray pack = bigEndian<uint16_t>(1) + bigEndian<uint16_t>(3) + bigEndian<uint32_t>(1) // version, KAG
        + bigEndian<int64_t>(0) + bigEndian<int64_t>(0) + bigEndian<int64_t>(0) // this, previous, footer (none)
        + bigEndian(headerByteCount) + bigEndian(indexByteCount) + bigEndian(kIndexSID) + bigEndian<int64_t>(0)
        + bigEndian(kBodySID) + kOpAtomLabel + batch({ kWaveClipContainer });
    return klv(kHeaderPartitionKey, pack);
}

} // namespace

QByteArray MXFWriter::umid(uint32_t seed)
{
    return kUMIDLabel + bigEndian(seed) + QByteArray::fromHex("a1a2a3a4a5a6a7a8a9aaabac");
}

QByteArray MXFWriter::opAtomBytes(const Clip &clip)
{
    const QByteArray header = headerMetadata(clip);
    const QByteArray index = indexSegment();
    const QByteArray essence = klv(kEssenceElementKey, QByteArray(kFrames * kBytesPerFrame, '\0'));
    return headerPartition(header.size(), index.size()) + header + index + essence;
}

bool MXFWriter::writeOP1a(const QString &path, const Clip &clip)
{
    return TestFiles::writeFile(path, opAtomBytes(clip).replace(kOpAtomLabel, kOP1aLabel));
}
