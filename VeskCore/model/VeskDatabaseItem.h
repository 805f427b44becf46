#pragma once

#include "model/VeskUUID.h"

class VeskByteReader;
class VeskOpenFolder;

#include <QByteArray>
#include <QDateTime>
#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

/// One media file: a record of a folder's media index, or a file found in a media
/// folder that the index does not list. Scanner threads build an item; after the
/// hand-over to the store it is read on the main thread while actions may change its
/// path, size and existence, so those fields (and the texts) are read and written
/// atomically.
class VeskDatabaseItem {
public:
    /// Whether the item's reference state can be trusted: only when its folder's index
    /// was read completely and its database was read. Otherwise the reason it cannot.
    enum class ReferenceState : uint8_t {
        Known,
        NoIndex,
        IndexIncomplete,
        NoDatabase,
        DatabaseOff,
        DatabaseUnreadable,
    };
    static QString referenceStateText(ReferenceState state);

    /// Enriches an item from its own media file (an MXF file); installed by the
    /// media-file front end.
    using CorrespondingFileReader = std::function<void(VeskDatabaseItem &item, const QString &path)>;
    static void setCorrespondingFileReader(CorrespondingFileReader reader);

    static QString GetProjectNameUnmanaged();
    static QString GetProjectNameEmpty();
    static QString GetProjectNameNull();

    VeskDatabaseItem() = default;
    VeskDatabaseItem(const VeskDatabaseItem &) = delete;
    VeskDatabaseItem &operator=(const VeskDatabaseItem &) = delete;

    // Set-up, in the order a scan uses it.
    void setupWithPmrBytes(const uint8_t *bytes, uint32_t length, uint32_t uidSize, bool useByteSwap);
    /// A file the index does not list; the name is decoded (see VeskFileName).
    void setupWithUnrefFile(const QString &folder, const QString &clipname);
    /// Looks the file up on disk; through the open folder when it is the item's own.
    void validatePath(const VeskOpenFolder *folder = nullptr);
    void addinfoToItemFromCorrespondingFile();

    void setFileUIDWithNSData(const QByteArray &buffer);
    void setMaterialUIDWithNSData(const QByteArray &buffer);
    void setFrameRateNumerator(uint32_t numerator, uint32_t denominator);
    void setSampleRateNumerator(uint32_t numerator, uint32_t denominator);
    void DB_setDate(const QDateTime &date);

    // Rules.
    bool checkUUID();
    void checkForAudioTypeByExtension();

    // Identity: words 4 and 5 of the file package UID.
    size_t hash() const;
    bool isEqualByUUID(const VeskDatabaseItem *other) const;
    bool isLessByUUID(const VeskDatabaseItem *other) const;
    bool isEqual(const VeskDatabaseItem *other) const;

    // Texts.
    QString getStringForUID(const VeskUUID *uid) const;
    QString getFileUIDString() const { return getStringForUID(&m_filePackageUID); }
    QString getMaterialUIDString() const { return getStringForUID(&m_materialPackageUID); }
    QString get_DB_ProjectName() const;
    QString description() const;
    QString DB_Date_String() const;

    static void ConvertTimeToCanonical(uint32_t *seconds);
    static void ConvertTimeFromCanonical(uint32_t *seconds);

    // Flags.
    bool DB_isValid_initial() const { return m_isValidInitial; }
    void setDB_isValid_initial(bool value) { m_isValidInitial = value; }
    bool DB_isValid() const { return m_isValid; }
    void setDB_isValid(bool value) { m_isValid = value; }
    bool DB_isAMA() const { return m_isAMA; }
    void setDB_isAMA(bool value) { m_isAMA = value; }
    bool DB_isGoodUUID() const { return m_isGoodUUID; }
    bool DB_isPortableFilename() const { return m_isPortableFilename; }
    bool DB_isReferenced() const { return m_isReferenced; }
    ReferenceState DB_referenceState() const { return m_referenceState; }
    void setDB_referenceState(ReferenceState state) { m_referenceState = state; }
    bool DB_FileExists() const { return m_fileExists; }
    /// Asks the processor early for the fields the filter reads, which share a line or
    /// two, and those of the texts a search reads.
    void prefetchFilterFields(bool search) const
    {
        __builtin_prefetch(&m_filesize);
        __builtin_prefetch(&m_referenceState);
        if (search) {
            __builtin_prefetch(&m_fileName);
            __builtin_prefetch(&m_nameInBin);
        }
    }
    /// Asks early for the characters of the searched texts, once their fields are near.
    void prefetchSearchedTexts() const;
    void setDB_FileExists(bool value) { m_fileExists = value; }

    // Numbers.
    uint32_t DB_SizeofUID() const { return m_sizeofUID; }
    uint32_t DB_usageCode() const { return m_usageCode; }
    void setDB_usageCode(uint32_t value) { m_usageCode = value; }
    uint32_t DB_DIDResolutionID() const { return m_resolutionID; }
    void setDB_DIDResolutionID(uint32_t value) { m_resolutionID = value; }
    uint32_t DB_bits() const { return m_bits; }
    void setDB_bits(uint32_t value) { m_bits = value; }
    VeskRate DB_framerate() const { return unpackRate(m_framerate.load(std::memory_order_relaxed)); }
    VeskRate DB_samplerate() const { return unpackRate(m_samplerate.load(std::memory_order_relaxed)); }
    std::optional<uint64_t> DB_filesize() const;
    void setDB_filesize(std::optional<uint64_t> size);
    QDateTime DB_Date() const;
    /// The date as milliseconds since the epoch, without the cost of a QDateTime.
    std::optional<int64_t> DB_DateMSecs() const;

    // UID and code storage, written in place by the MDB and bin readers.
    VeskUUID *DB_filePackageUID() { return &m_filePackageUID; }
    const VeskUUID *DB_filePackageUID() const { return &m_filePackageUID; }
    VeskUUID *DB_materialPackageUID() { return &m_materialPackageUID; }
    const VeskUUID *DB_materialPackageUID() const { return &m_materialPackageUID; }
    VeskOctet *DB_CompressionFourCC() { return &m_fourCC; }
    const VeskOctet *DB_CompressionFourCC() const { return &m_fourCC; }

    // Texts; each read returns a copy taken under the item's lock.
    QByteArray DB_pmrField() const;
    QString DB_ClipName() const;
    QString DB_ProjectName() const;
    void setDB_ProjectName(const QString &name);
    QString DB_NameInBin() const;
    void setDB_NameInBin(const QString &name);
    QString DB_CompressionString() const;
    void setDB_CompressionString(const QString &name);

    /// The full path of the media file; empty when none was set.
    QString DB_itemPath() const;
    /// The folder the file lives in; shared by the items of one folder.
    QString DB_itemFolder() const;
    /// The file's name within its folder, decoded from its bytes (see VeskFileName);
    /// DB_ClipName() is the text shown for it.
    QString DB_itemFileName() const;
    void setDB_itemPath(const QString &path);
    void setDB_itemPath(const QString &folder, const QString &fileName);
    /// Calls visit(nameInBin, clipName, fileName) under the item's lock, without copying
    /// the texts, and returns its answer: a search over a million items reads them so.
    template <typename Visit> bool visitNames(const Visit &visit) const
    {
        QMutexLocker locker(&itemLock());
        return visit(QStringView(m_nameInBin), QStringView(m_clipName), QStringView(m_fileName));
    }

private:
    static constexpr int64_t kNoValue = INT64_MIN;
    QMutex &itemLock() const;
    static VeskRate unpackRate(uint64_t packed) { return { uint32_t(packed >> 32), uint32_t(packed) }; }
    static uint64_t packRate(uint32_t n, uint32_t d) { return (uint64_t(n) << 32) | d; }
    void setUID(VeskUUID &uid, const uint8_t *bytes, uint32_t words);
    void setUIDFromBuffer(VeskUUID &uid, const QByteArray &buffer);
    void readPmrFields(const VeskByteReader &reader, QByteArray &record, bool useByteSwap);
    bool findLinkFile();
    void checkPortableName();

    // What the filter reads of every item comes first, within one cache line.
    std::atomic<int64_t> m_filesize { kNoValue };
    VeskOctet m_fourCC;
    uint32_t m_usageCode = 0;
    // Moves and deletes change these on the action worker while the main thread reads them.
    std::atomic<bool> m_isValidInitial { true };
    std::atomic<bool> m_isValid { true };
    std::atomic<bool> m_fileExists { false };
    bool m_isAMA = false;
    bool m_isGoodUUID = true;
    bool m_isPortableFilename = true;
    bool m_isReferenced = false;
    ReferenceState m_referenceState = ReferenceState::Known;

    VeskUUID m_filePackageUID;
    VeskUUID m_materialPackageUID;
    uint32_t m_sizeofUID = 0;
    uint32_t m_pmrFieldLength = 0; // guarded by the item's lock
    uint32_t m_resolutionID = 0;
    uint32_t m_bits = 0;
    std::atomic<uint64_t> m_framerate { 0 };
    std::atomic<uint64_t> m_samplerate { 0 };
    std::atomic<int64_t> m_dateMSecs { kNoValue };

    // Guarded by the item's lock (one of a shared set of stripes).
    QString m_fileName; // the searched texts first, next to each other
    QString m_clipName;
    QString m_nameInBin;
    QString m_folder;
    QString m_projectName;
    QString m_compressionString;
    // The record as read, in a block of its own length: no header or spare room.
    std::unique_ptr<char[]> m_pmrField;
};

using VeskItemRef = std::shared_ptr<VeskDatabaseItem>;
