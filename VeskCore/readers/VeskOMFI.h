#pragma once

#include "model/VeskRBTree.h"
#include "model/VeskRBTree_u32t_u32t.h"
#include "readers/UIDtoBentoObj.h"
#include "readers/VeskMediafileDataSource.h"

#include <QByteArray>
#include <QHash>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class VeskOMFIOutline;

/// Reader of Bento containers: media databases ("msmMMOB.mdb", "amaMMOB.mdb") and OMF
/// files. The whole file is loaded once; one pass over the table of contents indexes
/// the objects, the composition and source mob lists and the global names. Values are
/// handed out as spans inside the loaded image, each checked against the file.
///
/// Every offset sum is taken in 64 bits. A TOC that runs past the end of the file is
/// read as far as whole entries lie inside it; a TOC that starts past the end holds
/// nothing. Mob lists, reference lists and names are read only as far as their value
/// holds whole records, and a value that lies outside the file is no value.
class VeskOMFI : public VeskMediafileDataSource {
public:
    static constexpr uint32_t kNone = 0xFFFFFFFF;
    static constexpr uint32_t kTocObjectID = 1; // CM_StdObjID_TOC
    static constexpr uint64_t kMinimumFileSize = 128;
    static constexpr uint64_t kLabelSize = 24;
    static constexpr uint64_t kTocEntrySize = 24;

    /// One table-of-contents entry; its fields are always little-endian in the file.
    struct TOC {
        uint32_t objectID;
        uint32_t propertyID;
        uint32_t typeID;
        uint32_t valueOffset;
        uint32_t valueLength;
        uint32_t storage; ///< 1: stored at valueOffset; anything else: immediate
        bool isStored() const { return storage == 1; }
    };

    VeskOMFI();
    ~VeskOMFI() override;

    /// Loads and indexes the file. While the application is busy (a scan or an
    /// inspector open), the indicator, if any, counts objects as the TOC is read.
    bool openFile(const QString &path, VeskProgressIndicator *indicator) override;
    uint64_t getType() const override { return kTypeOMFI; }
    bool implements(Operation) const override { return true; }
    uint64_t getMDBCompositionsCount() const override { return m_compositionsCount; }
    void addInfoToItem(VeskDatabaseItem &item) override;

    uint32_t numberOfChildrenOfItem(const VeskInspectorRow *row) override;
    VeskInspectorRowRef child(uint32_t index, const VeskInspectorRow *row) override;
    bool isItemExpandable(const VeskInspectorRow *) override { return false; }
    std::optional<QString> StringForItem(const VeskInspectorRow *) override { return std::nullopt; }
    std::optional<VeskPreviewContents> getNSViewWithContentsFor(const VeskInspectorRow *row) override;

    // The container.
    bool isII() const { return m_isII; }
    uint32_t TOCItemsCount() const { return m_tocItemsCount; }
    uint64_t BentoObjectsCount() const { return m_bentoObjectsCount; }
    uint64_t howManyBentoObjectsV01() const;
    std::optional<TOC> tocEntry(uint32_t t) const;
    /// The 24 bytes of entry t, or none.
    std::span<const uint8_t> tocBytes(uint32_t t) const;
    /// The value of entry t: the stored bytes, or the immediate bytes inside the entry.
    /// Empty for no value, a zero length, or bytes outside the file or the entry.
    std::span<const uint8_t> pDataFor(uint32_t t) const;
    /// The index of the entry with property p among the entries of entry t's object
    /// from t on; 0 when there is none.
    uint32_t lookForProperty(uint32_t p, uint32_t t) const;
    /// The value of property p among the entries of entry t's object from t on.
    std::span<const uint8_t> valueOfProperty(uint32_t p, uint32_t t) const;
    /// The object's name or other identifying text, without zeros at either end.
    std::optional<QString> GetStringForObjectAt(uint32_t t) const;
    /// The TOC index of the object's first entry, or kNone.
    uint32_t tocIndexOfObject(uint32_t objectID) const;
    /// The name the file or the container standard gives to an ID.
    std::optional<QString> nameForID(uint32_t id) const;

    // Values, numbers in the value byte order of the container.
    std::optional<uint16_t> valueU16(std::span<const uint8_t> value, uint64_t offset = 0) const;
    std::optional<uint32_t> valueU32(std::span<const uint8_t> value, uint64_t offset = 0) const;
    /// The object an object-reference value names (always little-endian), as a TOC index.
    uint32_t resolveReference(std::span<const uint8_t> value, uint64_t offset = 0) const;
    /// The TOC index of the object that property p of the object at t references.
    uint32_t followReference(uint32_t t, uint32_t p) const;
    /// The object IDs of a reference list: a count and 8-byte elements from offset 2,
    /// as many as the value holds.
    std::vector<uint32_t> referenceList(std::span<const uint8_t> value) const;

    /// Looks a mob up by its UID (8 bytes); kNone when absent.
    uint32_t findCompositionMob(const uint8_t *uid) const;
    uint32_t findSourceMob(const uint8_t *uid) const;

    /// The inspector's outline of the file opened last.
    VeskOMFIOutline &outline() { return *m_outline; }

private:
    using MobTree = VeskRBTree<UIDtoBentoObj>;

    void reset();
    bool loadFile(const QString &path);
    void OMFiTOCReader01();
    void InitDictionary();
    void indexEntry(uint32_t i, const TOC &entry);
    void readMobList(MobTree &tree, std::span<const uint8_t> value, bool isComposition);
    void readName(const TOC &entry, uint32_t i);
    void updateIndicator(const std::function<void(VeskProgressIndicator &)> &change, bool wait) const;
    void progressStart() const;
    void progressStep(uint64_t objects) const;
    void progressEnd() const;
    static void setupMobTree(MobTree &tree);
    uint32_t findMob(MobTree &tree, const uint8_t *uid) const;

    QByteArray m_filedata;
    uint64_t m_tocOffset = 0;
    bool m_isII = false;
    uint32_t m_tocItemsCount = 0;
    uint64_t m_bentoObjectsCount = 0;
    uint64_t m_compositionsCount = 0;
    QHash<uint32_t, QString> m_OMFIDictionary;
    // The lookups move the trees' cursors only, which no caller sees.
    mutable VeskRBTree_u32t_u32t m_BentoObjectsTree;
    mutable MobTree m_CompositionMobsTree;
    mutable MobTree m_SourceMobsTree;
    std::unique_ptr<VeskOMFIOutline> m_outline;
    VeskProgressIndicator *m_localWorkInProgressIndicator = nullptr;
};
