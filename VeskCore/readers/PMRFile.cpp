#include "readers/PMRFile.h"

#include "base/VeskByteReader.h"
#include "base/VeskNSLog.h"
#include "platform/VeskFileName.h"

#include <QFile>

namespace {

constexpr uint32_t kMagic = 1961;
constexpr uint32_t kMagicSwapped = 0xA9070000; // 00 00 07 A9: a big-endian file
constexpr uint64_t kHeaderSize = 12;
constexpr uint64_t kMinimumFileSize = 30;
// A record needs more than this many bytes from its start to be read at all.
constexpr uint64_t kMinimumRecordSpan = 28;
constexpr uint16_t kMaximumProjectNameLength = 64;
constexpr uint64_t kTrailerSize = 4;

} // namespace

void PMRFile::dataWithContentsOfURL(const QString &path)
{
    QFile file;
    setData(VeskFileName::openForReading(file, path) ? file.readAll() : QByteArray());
}

void PMRFile::setData(const QByteArray &bytes)
{
    *this = PMRFile();
    filedata = bytes;
    if (!decodeHeader()) {
        filedata.clear();
        m_itemsCount = 0;
    }
}

bool PMRFile::decodeHeader()
{
    const VeskByteReader reader(filedata);
    if (reader.size() < kMinimumFileSize)
        return false;
    const uint32_t magic = *reader.readLE<uint32_t>(0);
    if (magic != kMagic && magic != kMagicSwapped)
        return false;
    usebyteswap = magic == kMagicSwapped;
    UUIDlength = *reader.read<uint32_t>(4, usebyteswap);
    m_itemsCount = *reader.read<uint32_t>(8, usebyteswap);
    // Records of any other UID length carry no UIDs and no readable names.
    if (UUIDlength != 8 && UUIDlength != 2) {
        VESK_LOG(QStringLiteral("Unknown UID length %1 in a media index").arg(UUIDlength));
        return false;
    }
    return true;
}

VeskItemRef PMRFile::FillItem(VeskItemRef item)
{
    if (!item || m_itemsCount == 0)
        return nullptr;
    if (position == 0)
        position = kHeaderSize;
    for (uint64_t end = recordEnd(position); end != 0; end = recordEnd(position)) {
        const uint64_t start = position;
        position = end;
        ++m_recordNumber;
        if (!VeskFileName::isFileName(clipNameAt(start))) {
            m_skippedRecords.push_back(m_recordNumber);
            continue;
        }
        const auto *bytes = reinterpret_cast<const uint8_t *>(filedata.constData()) + start;
        item->setupWithPmrBytes(bytes, uint32_t(end - start), UUIDlength, usebyteswap);
        return item;
    }
    return nullptr;
}

// The clip name of a record that recordEnd() found to fit.
QByteArrayView PMRFile::clipNameAt(uint64_t start) const
{
    const uint64_t clipLengthAt = start + uint64_t(UUIDlength) * 4;
    const uint16_t length = *VeskByteReader(filedata).read<uint16_t>(clipLengthAt, usebyteswap);
    return QByteArrayView(filedata.constData() + clipLengthAt + 2, length);
}

// The end of the record at start, trailer included, or 0 when the record does not fit
// or has a project name length out of range; a clip name of any length is passed over. Fields lie back to back, so a
// record whose trailer fits has all its fields inside the file; the trailer may end exactly at the end of it.
uint64_t PMRFile::recordEnd(uint64_t start) const
{
    const VeskByteReader reader(filedata);
    const uint64_t length = reader.size();
    const uint64_t uidBytes = uint64_t(UUIDlength) * 4;
    if (start + kMinimumRecordSpan >= length)
        return 0;
    const uint64_t clipLengthAt = start + uidBytes;
    const std::optional<uint16_t> clipLength = reader.read<uint16_t>(clipLengthAt, usebyteswap);
    if (!clipLength)
        return 0;
    const uint64_t projectLengthAt = clipLengthAt + 2 + *clipLength;
    const std::optional<uint16_t> projectLength = reader.read<uint16_t>(projectLengthAt, usebyteswap);
    if (!projectLength || *projectLength > kMaximumProjectNameLength)
        return 0;
    const uint64_t trailerAt = projectLengthAt + 2 + *projectLength + uidBytes;
    if (trailerAt + kTrailerSize - 1 >= length)
        return 0;
    return trailerAt + kTrailerSize;
}
