#include "readers/VeskMXF.h"

#include "base/VeskNSLog.h"
#include "platform/VeskFileName.h"
#include "readers/VeskFFmpegLog.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>

namespace {

// Outcomes of reading the header metadata.
enum class ReadResult { Ok, Failed, CannotOpen, NoHeaderPartition, NotOpAtom };

// The few fields of the header metadata that are kept.
struct MXFinfo {
    std::optional<QString> clipName;
    std::optional<QString> projectName;
    QByteArray materialPackageUID;
    QByteArray fileSourcePackageUID;
};

constexpr int kIOBufferSize = 64 * 1024;
// The demuxer is named, so nothing is probed; these only keep FFmpeg from reading ahead.
constexpr int64_t kProbeSize = 64 * 1024;
constexpr int64_t kAnalyzeDuration = AV_TIME_BASE / 10;
constexpr qsizetype kOperationalPatternItem = 12; // item complexity byte of the OP label
constexpr char kOpAtomItem = 0x10;
constexpr qsizetype kUMIDSize = 32;
// Every partition pack key starts so; the bytes after it tell the partition's kind.
constexpr char kPartitionPackKey[] = "\x06\x0e\x2b\x34\x02\x05\x01\x01\x0d\x01\x02\x01\x01";
// A header partition within this many bytes from the start, or the file is no MXF file.
// The check keeps libavformat from searching a large file for one.
constexpr qint64 kPartitionSearchSize = 64 * 1024;

struct IOContextDeleter {
    void operator()(AVIOContext *context) const
    {
        av_freep(&context->buffer); // FFmpeg may have replaced the buffer it was given
        avio_context_free(&context);
    }
};
struct FormatContextDeleter {
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
using IOContextPtr = std::unique_ptr<AVIOContext, IOContextDeleter>;
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextDeleter>;

int readPacket(void *opaque, uint8_t *buffer, int size)
{
    const qint64 count = static_cast<QFile *>(opaque)->read(reinterpret_cast<char *>(buffer), size);
    if (count < 0)
        return AVERROR(EIO);
    return count == 0 ? AVERROR_EOF : int(count);
}

int64_t seekFile(void *opaque, int64_t offset, int whence)
{
    QFile *file = static_cast<QFile *>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return file->size();
    case SEEK_SET: break;
    case SEEK_CUR: offset += file->pos(); break;
    case SEEK_END: offset += file->size(); break;
    default: return AVERROR(EINVAL);
    }
    return offset >= 0 && file->seek(offset) ? offset : AVERROR(EINVAL);
}

IOContextPtr makeIOContext(QFile &file)
{
    auto *buffer = static_cast<unsigned char *>(av_malloc(kIOBufferSize));
    if (!buffer)
        return nullptr;
    AVIOContext *context = avio_alloc_context(buffer, kIOBufferSize, 0, &file, &readPacket, nullptr, &seekFile);
    if (!context)
        av_free(buffer);
    return IOContextPtr(context);
}

std::optional<QString> metadataText(const AVDictionary *metadata, const char *key)
{
    const AVDictionaryEntry *entry = av_dict_get(metadata, key, nullptr, 0);
    if (!entry)
        return std::nullopt;
    return QString::fromUtf8(entry->value);
}

// FFmpeg writes a UMID as "0x" and 64 hex digits.
QByteArray umidValue(const AVDictionary *metadata, const char *key)
{
    const QString text = metadataText(metadata, key).value_or(QString());
    if (text.size() != 2 + 2 * kUMIDSize || !text.startsWith(QLatin1String("0x")))
        return {};
    const QByteArray umid = QByteArray::fromHex(text.mid(2).toLatin1());
    return umid.size() == kUMIDSize ? umid : QByteArray();
}

// FFmpeg writes the label as four dot-separated groups of eight hex digits.
bool isOpAtom(const AVDictionary *metadata)
{
    const QString text = metadataText(metadata, "operational_pattern_ul").value_or(QString());
    const QByteArray label = QByteArray::fromHex(text.toLatin1());
    return label.size() == 16 && label.at(kOperationalPatternItem) == kOpAtomItem;
}

// The top file package is the one the material package's first usable track refers to.
bool takeInfo(const AVFormatContext &format, MXFinfo &info)
{
    info.clipName = metadataText(format.metadata, "material_package_name");
    info.projectName = metadataText(format.metadata, "project_name");
    info.materialPackageUID = umidValue(format.metadata, "material_package_umid");
    for (unsigned i = 0; i < format.nb_streams && info.fileSourcePackageUID.isEmpty(); ++i)
        info.fileSourcePackageUID = umidValue(format.streams[i]->metadata, "file_package_umid");
    return !info.materialPackageUID.isEmpty() && !info.fileSourcePackageUID.isEmpty();
}

bool hasPartitionPack(QFile &file)
{
    const QByteArray start = file.read(kPartitionSearchSize);
    const bool found = start.contains(QByteArrayView(kPartitionPackKey, sizeof kPartitionPackKey - 1));
    return file.seek(0) && found;
}

ReadResult readInfo(QFile &file, MXFinfo &info)
{
    if (!hasPartitionPack(file))
        return ReadResult::NoHeaderPartition;
    const VeskFFmpegLog messages; // FFmpeg's lines about this file, capped
    const AVInputFormat *demuxer = av_find_input_format("mxf");
    IOContextPtr io = makeIOContext(file);
    AVFormatContext *context = demuxer && io ? avformat_alloc_context() : nullptr;
    if (!context)
        return ReadResult::Failed;
    context->pb = io.get();
    context->probesize = kProbeSize;
    context->max_analyze_duration = kAnalyzeDuration;
    // Reads the partitions and the header metadata; essence is skipped, never decoded.
    const int result = avformat_open_input(&context, "", demuxer, nullptr);
    const FormatContextPtr format(context); // FFmpeg has freed it (and nulled it) on failure
    if (result == AVERROR_INVALIDDATA || result == AVERROR_EOF)
        return ReadResult::NoHeaderPartition;
    if (result < 0)
        return ReadResult::CannotOpen;
    if (!isOpAtom(format->metadata))
        return ReadResult::NotOpAtom;
    return takeInfo(*format, info) ? ReadResult::Ok : ReadResult::Failed;
}

QString messageFor(ReadResult result)
{
    switch (result) {
    case ReadResult::NotOpAtom: return QStringLiteral("File is not OP-Atom");
    case ReadResult::NoHeaderPartition: return QStringLiteral("Failed to read header partition");
    case ReadResult::CannotOpen: return QStringLiteral("Failed to open file");
    default: return QStringLiteral("Failed to read info");
    }
}

} // namespace

bool VeskMXF::openFile(const QString &path, VeskProgressIndicator *)
{
    VESK_LOG(QStringLiteral("MXF file : open"));
    _info.clear();
    QFile file;
    if (!VeskFileName::openForReading(file, path))
        return false;
    MXFinfo record;
    const ReadResult result = readInfo(file, record);
    if (result != ReadResult::Ok) {
        VESK_LOG(messageFor(result));
        return true; // the file was opened; the adapter simply holds nothing
    }
    if (record.clipName)
        _info.insert(QStringLiteral("clipname"), *record.clipName);
    if (record.projectName)
        _info.insert(QStringLiteral("project"), *record.projectName);
    _info.insert(QStringLiteral("fileUID"), record.fileSourcePackageUID);
    _info.insert(QStringLiteral("matUID"), record.materialPackageUID);
    return true;
}

void VeskMXF::addInfoToItem(VeskDatabaseItem &item)
{
    if (_info.isEmpty())
        return;
    // Absent names clear the item's: the file, not an older record, is the authority.
    item.setDB_NameInBin(_info.value(QStringLiteral("clipname")).toString());
    item.setDB_ProjectName(_info.value(QStringLiteral("project")).toString());
    item.setFileUIDWithNSData(swapUUIDfromMXFtoVesk(_info.value(QStringLiteral("fileUID")).toByteArray()));
    item.setMaterialUIDWithNSData(swapUUIDfromMXFtoVesk(_info.value(QStringLiteral("matUID")).toByteArray()));
}

QByteArray VeskMXF::swapUUIDfromMXFtoVesk(const QByteArray &umid)
{
    if (umid.size() != kUMIDSize)
        return QByteArray(kUMIDSize, '\0');
    // The material number's first three UUID fields: 32, 16 and 16 bits, big- to little-endian.
    QByteArray swapped = umid;
    std::reverse(swapped.begin() + 16, swapped.begin() + 20);
    std::reverse(swapped.begin() + 20, swapped.begin() + 22);
    std::reverse(swapped.begin() + 22, swapped.begin() + 24);
    return swapped;
}
