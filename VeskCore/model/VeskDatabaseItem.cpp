#include "model/VeskDatabaseItem.h"

#include "base/VeskByteReader.h"
#include "base/VeskNSLog.h"
#include "platform/VeskFileName.h"
#include "platform/VeskFileStat.h"
#include "platform/VeskOpenFolder.h"
#include "platform/VeskSettings.h"
#include "report/VeskFileSize.h"
#include "report/VeskUtilities.h"

#include <QLocale>
#include <QMutex>

#include <array>
#include <cstring>

namespace {

// One mutex per item would cost 40 bytes on each of a million items; a fixed set of
// stripes, chosen by address, guards the texts as well at a fraction of that. Each
// stripe has a cache line of its own, so that threads reading different items (a
// search runs on two) do not pass lines to and fro.
QMutex &lockFor(const void *item)
{
    struct alignas(64) Stripe {
        QMutex mutex;
    };
    static std::array<Stripe, 64> stripes;
    return stripes[(reinterpret_cast<uintptr_t>(item) >> 6) % stripes.size()].mutex;
}

VeskDatabaseItem::CorrespondingFileReader &correspondingFileReader()
{
    static VeskDatabaseItem::CorrespondingFileReader reader;
    return reader;
}

constexpr uint32_t kAudioCode = 0x4455415F; // "_AUD" read little-endian

// What follows the last dot of the last path component; empty without one.
QStringView extensionOf(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return {};
    return QStringView(path).mid(dot + 1);
}
constexpr uint32_t kCanonicalTimeOffset = 0x7C256A30;

// A kept record leaves out its two UIDs, half of it, while they are the item's own; this
// bit of the kept length says so. Setting a UID again puts them back first.
constexpr uint32_t kWithoutUIDs = 0x80000000u;

QByteArrayView uidBytes(const VeskUUID &uid, uint32_t words)
{
    return words == 8 ? QByteArrayView(uid.UMIDx.data(), 32) : QByteArrayView(uid.UMIDx.data() + 16, 8);
}

// The offset past the two names that follow `start`, read as the kept copy holds their
// lengths; 0 when they do not fit.
uint64_t namesEnd(QByteArrayView record, uint64_t start)
{
    uint64_t offset = start;
    for (int name = 0; name < 2; ++name) {
        if (offset > uint64_t(record.size()) || uint64_t(record.size()) - offset < 2)
            return 0;
        offset += 2 + qFromLittleEndian<uint16_t>(record.data() + offset);
    }
    return offset <= uint64_t(record.size()) ? offset : 0;
}

// The record to keep and its flag: without the UIDs when it holds exactly the given ones.
std::pair<QByteArray, uint32_t> recordToKeep(QByteArrayView record, QByteArrayView file, QByteArrayView material)
{
    const uint64_t materialAt = namesEnd(record, uint64_t(file.size()));
    if (materialAt == 0 || uint64_t(record.size()) - materialAt < uint64_t(material.size())
        || record.first(file.size()) != file || record.sliced(qsizetype(materialAt), material.size()) != material)
        return { record.toByteArray(), 0 };
    return { record.sliced(file.size(), qsizetype(materialAt) - file.size()).toByteArray()
            + record.sliced(qsizetype(materialAt) + material.size()).toByteArray(),
        kWithoutUIDs };
}

// The whole record from a kept one, with the UIDs it left out.
QByteArray wholeRecord(const char *data, uint32_t length, QByteArrayView file, QByteArrayView material)
{
    const QByteArrayView kept(data, qsizetype(length & ~kWithoutUIDs));
    if (!data || !(length & kWithoutUIDs))
        return data ? kept.toByteArray() : QByteArray();
    const qsizetype names = qsizetype(namesEnd(kept, 0));
    return file.toByteArray() + kept.first(names).toByteArray() + material.toByteArray()
        + kept.sliced(names).toByteArray();
}

void keep(std::unique_ptr<char[]> &field, uint32_t &length, const std::pair<QByteArray, uint32_t> &record)
{
    field = std::make_unique_for_overwrite<char[]>(size_t(record.first.size()));
    std::memcpy(field.get(), record.first.constData(), size_t(record.first.size()));
    length = uint32_t(record.first.size()) | record.second;
}

} // namespace

#define VESK_ITEM_LOCKED QMutexLocker locker(&lockFor(this))

QMutex &VeskDatabaseItem::itemLock() const
{
    return lockFor(this);
}

void VeskDatabaseItem::setCorrespondingFileReader(CorrespondingFileReader reader)
{
    correspondingFileReader() = std::move(reader);
}

QString VeskDatabaseItem::referenceStateText(ReferenceState state)
{
    switch (state) {
    case ReferenceState::Known: return QStringLiteral("known");
    case ReferenceState::NoIndex: return QStringLiteral("no readable media index");
    case ReferenceState::IndexIncomplete: return QStringLiteral("media index read incompletely");
    case ReferenceState::NoDatabase: return QStringLiteral("no media database");
    case ReferenceState::DatabaseOff: return QStringLiteral("media databases not read");
    case ReferenceState::DatabaseUnreadable: return QStringLiteral("media database unreadable");
    }
    return {};
}

QString VeskDatabaseItem::GetProjectNameUnmanaged()
{
    return QStringLiteral("_00_VSK_UNMANAGED_FILES");
}
QString VeskDatabaseItem::GetProjectNameEmpty()
{
    return QStringLiteral("_00_VSK_EMPTY_PROJECT_NAME");
}
QString VeskDatabaseItem::GetProjectNameNull()
{
    return QStringLiteral("_00_VSK_NULL_PROJECT_NAME");
}

void VeskDatabaseItem::setUID(VeskUUID &uid, const uint8_t *bytes, uint32_t words)
{
    if (words == 8)
        std::memcpy(uid.UMIDx.data(), bytes, 32);
    else if (words == 2)
        std::memcpy(uid.UMIDx.data() + 16, bytes, 8);
}

// Record: file UID, clip name length and name, project name length and name, material
// UID, 4-byte trailer. Each field is taken only when it fits in the record; the copy
// kept in DB_pmrField gets its two length fields in host order.
void VeskDatabaseItem::setupWithPmrBytes(const uint8_t *bytes, uint32_t length, uint32_t uidSize, bool useByteSwap)
{
    if (!bytes || length == 0 || (uidSize != 2 && uidSize != 8))
        return;
    m_sizeofUID = uidSize;
    QByteArray record(reinterpret_cast<const char *>(bytes), length);
    readPmrFields(VeskByteReader(std::span<const uint8_t>(bytes, length)), record, useByteSwap);
    {
        const std::pair<QByteArray, uint32_t> kept = recordToKeep(
            record, uidBytes(m_filePackageUID, m_sizeofUID), uidBytes(m_materialPackageUID, m_sizeofUID));
        VESK_ITEM_LOCKED;
        keep(m_pmrField, m_pmrFieldLength, kept);
    }
    checkForAudioTypeByExtension();
    m_isReferenced = true;
    m_isGoodUUID = checkUUID();
}

void VeskDatabaseItem::readPmrFields(const VeskByteReader &reader, QByteArray &record, bool useByteSwap)
{
    const uint64_t uidBytes = uint64_t(m_sizeofUID) * 4;
    if (!reader.fits(0, uidBytes))
        return;
    setUID(m_filePackageUID, reader.data(), m_sizeofUID);
    uint64_t offset = uidBytes;
    const auto readName = [&](QByteArrayView &name) {
        const std::optional<uint16_t> nameLength = reader.read<uint16_t>(offset, useByteSwap);
        if (!nameLength || !reader.fits(offset + 2, *nameLength))
            return false;
        qToLittleEndian(*nameLength, record.data() + offset);
        name = QByteArrayView(reader.data() + offset + 2, *nameLength);
        offset += 2 + *nameLength;
        return true;
    };
    QByteArrayView clipName;
    if (!readName(clipName))
        return;
    {
        VESK_ITEM_LOCKED;
        m_fileName = VeskFileName::decode(clipName);
        m_clipName = VeskFileName::displayDecoded(m_fileName);
    }
    QByteArrayView projectName;
    if (!readName(projectName))
        return;
    if (!projectName.isEmpty())
        setDB_ProjectName(VeskFileName::display(projectName));
    if (reader.fits(offset, uidBytes))
        setUID(m_materialPackageUID, reader.data() + offset, m_sizeofUID);
}

void VeskDatabaseItem::setupWithUnrefFile(const QString &folder, const QString &clipname)
{
    setDB_itemPath(folder, clipname);
    {
        VESK_ITEM_LOCKED;
        m_clipName = VeskFileName::displayDecoded(clipname);
    }
    checkForAudioTypeByExtension();
    {
        VESK_ITEM_LOCKED;
        if (m_projectName.isNull())
            m_projectName = GetProjectNameUnmanaged();
    }
    m_isReferenced = false;
    m_isGoodUUID = checkUUID();
}

void VeskDatabaseItem::validatePath(const VeskOpenFolder *folder)
{
    m_isValid = false;
    m_isValidInitial = false;
    QString fileName;
    {
        VESK_ITEM_LOCKED;
        if (folder && m_folder == folder->path())
            fileName = m_fileName;
    }
    std::optional<VeskFileStat> stat;
    if (!fileName.isEmpty()) {
        stat = folder->stat(fileName);
    } else {
        const QString path = DB_itemPath();
        if (path.isEmpty())
            return;
        stat = VeskFileStat::query(path);
    }
    if (stat) {
        m_fileExists = true;
        m_isValid = true;
        m_isValidInitial = true;
        setDB_filesize(stat->size);
        m_dateMSecs = stat->creationMSecs;
    } else {
        findLinkFile();
    }
    if (!DB_filesize())
        setDB_filesize(0);
    checkPortableName();
}

// A listed clip.mxf that exists only as the link file clip.mxf.aaf.
bool VeskDatabaseItem::findLinkFile()
{
    QString folder;
    QString linkName;
    {
        VESK_ITEM_LOCKED;
        folder = m_folder;
        linkName = m_fileName + QStringLiteral(".aaf");
    }
    const std::optional<VeskFileStat> stat = VeskFileStat::query(folder + QLatin1Char('/') + linkName);
    if (!stat)
        return false;
    m_fileExists = true;
    m_isValid = true;
    m_isValidInitial = true;
    m_isAMA = true;
    setDB_filesize(stat->size);
    setDB_itemPath(folder, linkName);
    return true;
}

void VeskDatabaseItem::checkPortableName()
{
    const QString name = DB_ClipName();
    m_isPortableFilename = VeskUtilities::isPortable(name);
    if (!m_isPortableFilename)
        VESK_LOG(QStringLiteral("**** Warning **** %1 This filename contains non-Portable characters").arg(name));
}

void VeskDatabaseItem::addinfoToItemFromCorrespondingFile()
{
    const QString path = DB_itemPath();
    if (!m_fileExists || path.isEmpty())
        return;
    m_isReferenced = false;
    const bool isMXF = extensionOf(path).compare(QLatin1String("mxf"), Qt::CaseInsensitive) == 0;
    // Files of 1,024 bytes or less hold no header worth opening.
    if (isMXF && VeskSettings::shared().integerForKey(QStringLiteral("ScanMXF")) == 1
        && DB_filesize().value_or(0) >= 1025 && correspondingFileReader())
        correspondingFileReader()(*this, path);
}

void VeskDatabaseItem::setUIDFromBuffer(VeskUUID &uid, const QByteArray &buffer)
{
    if (buffer.isNull())
        return;
    {
        VESK_ITEM_LOCKED;
        if (m_pmrFieldLength & kWithoutUIDs)
            keep(m_pmrField, m_pmrFieldLength,
                { wholeRecord(m_pmrField.get(), m_pmrFieldLength, uidBytes(m_filePackageUID, m_sizeofUID),
                      uidBytes(m_materialPackageUID, m_sizeofUID)),
                    0 });
    }
    m_sizeofUID = uint32_t(buffer.size() / 4);
    if (m_sizeofUID == 8 || m_sizeofUID == 2)
        setUID(uid, reinterpret_cast<const uint8_t *>(buffer.constData()), m_sizeofUID);
    m_isGoodUUID = checkUUID();
}

void VeskDatabaseItem::setFileUIDWithNSData(const QByteArray &buffer)
{
    setUIDFromBuffer(m_filePackageUID, buffer);
}
void VeskDatabaseItem::setMaterialUIDWithNSData(const QByteArray &buffer)
{
    setUIDFromBuffer(m_materialPackageUID, buffer);
}

void VeskDatabaseItem::setFrameRateNumerator(uint32_t numerator, uint32_t denominator)
{
    m_framerate = packRate(numerator, denominator);
}

void VeskDatabaseItem::setSampleRateNumerator(uint32_t numerator, uint32_t denominator)
{
    m_samplerate = packRate(numerator, denominator);
}

void VeskDatabaseItem::DB_setDate(const QDateTime &date)
{
    m_dateMSecs = date.isValid() ? date.toMSecsSinceEpoch() : kNoValue;
}

QDateTime VeskDatabaseItem::DB_Date() const
{
    const std::optional<int64_t> msecs = DB_DateMSecs();
    return msecs ? QDateTime::fromMSecsSinceEpoch(*msecs) : QDateTime();
}

std::optional<int64_t> VeskDatabaseItem::DB_DateMSecs() const
{
    const int64_t msecs = m_dateMSecs;
    return msecs == kNoValue ? std::nullopt : std::optional<int64_t>(msecs);
}

// Built when asked for: a cell shows a few dozen at a time, and a text kept per item
// would cost every item of a million its room.
QString VeskDatabaseItem::DB_Date_String() const
{
    const QDateTime date = DB_Date();
    return date.isValid() ? QLocale::system().toString(date, QLocale::ShortFormat) : QString();
}

bool VeskDatabaseItem::checkUUID()
{
    if (m_sizeofUID != 8)
        return true;
    static constexpr std::array<uint8_t, 4> kSmptePrefix = { 0x06, 0x0A, 0x2B, 0x34 };
    const auto hasPrefix
        = [](const VeskUUID &uid) { return std::equal(kSmptePrefix.begin(), kSmptePrefix.end(), uid.UMIDx.begin()); };
    if (hasPrefix(m_filePackageUID) && hasPrefix(m_materialPackageUID))
        return true;
    VESK_LOG(QStringLiteral("UMID: %1 :: File: %2 ").arg(getFileUIDString(), DB_ClipName()));
    return false;
}

void VeskDatabaseItem::checkForAudioTypeByExtension()
{
    const QString clipName = DB_ClipName();
    const QString extension = extensionOf(clipName).toString().toLower();
    const bool audioName = extension == QLatin1String("aif") || extension == QLatin1String("wav")
        || extension == QLatin1String("sd2") || extension == QLatin1String("lrc");
    if (audioName)
        m_fourCC.setUMIDx32t(kAudioCode);
    if (audioName || m_fourCC.UMIDx32t() == kAudioCode)
        setDB_CompressionString(QStringLiteral("Audio"));
}

size_t VeskDatabaseItem::hash() const
{
    return size_t(m_filePackageUID.word(5) ^ m_filePackageUID.word(4));
}

bool VeskDatabaseItem::isEqualByUUID(const VeskDatabaseItem *other) const
{
    return other && hash() == other->hash() && m_filePackageUID.word(4) == other->m_filePackageUID.word(4)
        && m_filePackageUID.word(5) == other->m_filePackageUID.word(5);
}

bool VeskDatabaseItem::isLessByUUID(const VeskDatabaseItem *other) const
{
    if (!other)
        return false;
    const uint32_t mine4 = m_filePackageUID.word(4);
    const uint32_t theirs4 = other->m_filePackageUID.word(4);
    if (mine4 != theirs4)
        return mine4 < theirs4;
    return m_filePackageUID.word(5) < other->m_filePackageUID.word(5);
}

bool VeskDatabaseItem::isEqual(const VeskDatabaseItem *other) const
{
    if (!isEqualByUUID(other))
        return false;
    const QString mine = DB_itemPath();
    const QString theirs = other->DB_itemPath();
    return !mine.isEmpty() && !theirs.isEmpty() && mine == theirs;
}

// Written digit by digit into a buffer: listings print a UID for each of a million rows.
QString VeskDatabaseItem::getStringForUID(const VeskUUID *uid) const
{
    if (!uid)
        return {};
    static constexpr char kHex[] = "0123456789abcdef";
    const bool whole = m_sizeofUID == 8;
    char text[80];
    size_t length = 0;
    text[length++] = '{';
    text[length++] = ' ';
    for (int i = whole ? 0 : 16; i < (whole ? 32 : 24); ++i) {
        if (whole && i > 0 && i % 4 == 0)
            text[length++] = '-';
        text[length++] = kHex[uid->UMIDx[i] >> 4];
        text[length++] = kHex[uid->UMIDx[i] & 15];
    }
    text[length++] = ' ';
    text[length++] = '}';
    return QString::fromLatin1(text, qsizetype(length));
}

QString VeskDatabaseItem::get_DB_ProjectName() const
{
    const QString name = DB_ProjectName();
    if (name.isNull())
        return GetProjectNameNull();
    if (name.isEmpty())
        return GetProjectNameEmpty();
    return name;
}

QString VeskDatabaseItem::description() const
{
    QString text = QStringLiteral("VeskDatabaseItem");
    const auto line = [&text](const char *label, const QString &value) {
        if (!value.isNull())
            text += QLatin1String(label) + value;
    };
    line("\n        Path:", DB_itemPath().isEmpty() ? QString() : DB_itemPath());
    line("\n        File:", DB_ClipName());
    line("\n Name in Bin:", DB_NameInBin());
    line("\n     Project:", DB_ProjectName());
    const std::optional<uint64_t> size = DB_filesize();
    line("\n   File Size:", size ? VeskFileSize(double(*size)).description() : QString());
    line("\n    File UID:", getFileUIDString());
    line("\nMaterial UID:", getMaterialUIDString());
    line("\n Compression:", DB_CompressionString());
    return text;
}

void VeskDatabaseItem::ConvertTimeToCanonical(uint32_t *seconds)
{
    if (seconds)
        *seconds -= kCanonicalTimeOffset;
}

void VeskDatabaseItem::ConvertTimeFromCanonical(uint32_t *seconds)
{
    if (seconds)
        *seconds += kCanonicalTimeOffset;
}

std::optional<uint64_t> VeskDatabaseItem::DB_filesize() const
{
    const int64_t size = m_filesize;
    return size == kNoValue ? std::nullopt : std::optional<uint64_t>(uint64_t(size));
}

void VeskDatabaseItem::setDB_filesize(std::optional<uint64_t> size)
{
    m_filesize = size ? int64_t(*size) : kNoValue;
}

QByteArray VeskDatabaseItem::DB_pmrField() const
{
    VESK_ITEM_LOCKED;
    return wholeRecord(m_pmrField.get(), m_pmrFieldLength, uidBytes(m_filePackageUID, m_sizeofUID),
        uidBytes(m_materialPackageUID, m_sizeofUID));
}

void VeskDatabaseItem::prefetchSearchedTexts() const
{
    VESK_ITEM_LOCKED;
    __builtin_prefetch(m_fileName.constData());
    __builtin_prefetch(m_nameInBin.constData());
    if (m_clipName.constData() != m_fileName.constData())
        __builtin_prefetch(m_clipName.constData());
}

QString VeskDatabaseItem::DB_ClipName() const
{
    VESK_ITEM_LOCKED;
    return m_clipName;
}

QString VeskDatabaseItem::DB_ProjectName() const
{
    VESK_ITEM_LOCKED;
    return m_projectName;
}

void VeskDatabaseItem::setDB_ProjectName(const QString &name)
{
    VESK_ITEM_LOCKED;
    m_projectName = name;
}

QString VeskDatabaseItem::DB_NameInBin() const
{
    VESK_ITEM_LOCKED;
    return m_nameInBin;
}

void VeskDatabaseItem::setDB_NameInBin(const QString &name)
{
    VESK_ITEM_LOCKED;
    m_nameInBin = name;
}

QString VeskDatabaseItem::DB_CompressionString() const
{
    VESK_ITEM_LOCKED;
    return m_compressionString;
}

void VeskDatabaseItem::setDB_CompressionString(const QString &name)
{
    VESK_ITEM_LOCKED;
    m_compressionString = name;
}

QString VeskDatabaseItem::DB_itemFolder() const
{
    VESK_ITEM_LOCKED;
    return m_folder;
}

QString VeskDatabaseItem::DB_itemFileName() const
{
    VESK_ITEM_LOCKED;
    return m_fileName;
}

QString VeskDatabaseItem::DB_itemPath() const
{
    VESK_ITEM_LOCKED;
    if (m_folder.isEmpty() || m_fileName.isEmpty())
        return m_folder + m_fileName;
    if (m_folder.endsWith(QLatin1Char('/')))
        return m_folder + m_fileName;
    return m_folder + QLatin1Char('/') + m_fileName;
}

void VeskDatabaseItem::setDB_itemPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        setDB_itemPath(QString(), path);
    else
        setDB_itemPath(path.left(qMax<qsizetype>(slash, 1)), path.mid(slash + 1));
}

void VeskDatabaseItem::setDB_itemPath(const QString &folder, const QString &fileName)
{
    VESK_ITEM_LOCKED;
    m_folder = folder;
    m_fileName = fileName;
}
