#include "readers/VeskOMFI.h"

#include "base/VeskByteReader.h"
#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"
#include "platform/VeskProgressIndicator.h"
#include "platform/VeskStatusViewController.h"
#include "readers/VeskBentoText.h"
#include "readers/VeskOMFIInspectorText.h"
#include "readers/VeskOMFIMediaInfo.h"
#include "readers/VeskOMFIOutline.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kMagic[8] = { 0xA4, 0x43, 0x4D, 0xA5, 0x48, 0x64, 0x72, 0xD7 };
constexpr uint16_t kLittleEndianMark = 0x4949; // "II"
constexpr uint16_t kOMF2MajorVersion = 2;
constexpr uint32_t kCompositionMobsProperty = 0x101e9;
constexpr uint32_t kSourceMobsProperty = 0x10216;
constexpr uint32_t kGlobalTypeNameProperty = 23;
constexpr uint32_t kGlobalPropNameProperty = 24;
constexpr uint64_t kMobRecordSize = 20;
constexpr uint64_t kReferenceElementSize = 8;
constexpr uint64_t kObjectsPerProgressStep = 256;

bool isBusy()
{
    return VeskStatusViewController::getTheController()->isRunning();
}

} // namespace

VeskOMFI::VeskOMFI()
{
    setupMobTree(m_CompositionMobsTree);
    setupMobTree(m_SourceMobsTree);
    m_outline = std::make_unique<VeskOMFIOutline>(*this);
}

VeskOMFI::~VeskOMFI() = default;

void VeskOMFI::setupMobTree(MobTree &tree)
{
    tree.setEQBlock([](const UIDtoBentoObj &a, const UIDtoBentoObj &b) { return a.hasSameUID(b); });
    tree.setLTBlock([](const UIDtoBentoObj &a, const UIDtoBentoObj &b) { return a.isLiteThan(b); });
}

bool VeskOMFI::openFile(const QString &path, VeskProgressIndicator *indicator)
{
    m_localWorkInProgressIndicator = indicator;
    reset();
    if (path.isEmpty() || !loadFile(path))
        return false;

    const VeskByteReader file(m_filedata);
    const uint64_t label = file.size() - kLabelSize;
    m_isII = file.readLE<uint16_t>(label + 10) == kLittleEndianMark;
    if (file.readLE<uint16_t>(label + 12) == kOMF2MajorVersion) {
        VESK_LOG(QStringLiteral("OMF 2 found at %1").arg(path));
        VESK_LOG(QStringLiteral("OMF 2 not supported"));
        return false;
    }
    m_tocOffset = file.readLE<uint32_t>(label + 16).value_or(0);
    const uint64_t tocSize = file.readLE<uint32_t>(label + 20).value_or(0);
    if (file.size() < tocSize)
        return false;
    // Only whole entries inside the file are read; a TOC starting past the end has none.
    const uint64_t available = m_tocOffset <= file.size() ? file.size() - m_tocOffset : 0;
    m_tocItemsCount = uint32_t(std::min(tocSize, available) / kTocEntrySize);
    OMFiTOCReader01();
    return m_bentoObjectsCount != 0;
}

void VeskOMFI::reset()
{
    m_outline = std::make_unique<VeskOMFIOutline>(*this);
    m_filedata.clear();
    m_tocOffset = 0;
    m_isII = false;
    m_tocItemsCount = 0;
    m_bentoObjectsCount = 0;
    m_compositionsCount = 0;
    m_OMFIDictionary.clear();
    m_BentoObjectsTree.TreeDelete();
    m_CompositionMobsTree.TreeDelete();
    m_SourceMobsTree.TreeDelete();
}

// Reads the whole file, after a look at the label: a file that is no Bento container
// (a large audio file, say) is not loaded at all.
bool VeskOMFI::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size < qint64(kMinimumFileSize))
        return false;
    char magic[sizeof(kMagic)];
    if (!file.seek(size - qint64(kLabelSize)) || file.read(magic, sizeof(magic)) != qint64(sizeof(magic))
        || std::memcmp(magic, kMagic, sizeof(kMagic)) != 0)
        return false;
    QByteArray data(size, Qt::Uninitialized);
    if (!file.seek(0) || file.read(data.data(), size) != size)
        return false;
    m_filedata = std::move(data);
    return true;
}

uint64_t VeskOMFI::howManyBentoObjectsV01() const
{
    uint64_t objects = 0;
    uint32_t previous = 0;
    for (uint32_t i = 0; i < m_tocItemsCount; ++i) {
        const uint32_t object = tocEntry(i)->objectID;
        if (object != previous)
            ++objects;
        previous = object;
    }
    return objects;
}

void VeskOMFI::OMFiTOCReader01()
{
    m_compositionsCount = 0;
    m_bentoObjectsCount = howManyBentoObjectsV01();
    if (m_bentoObjectsCount == 0)
        return;
    progressStart();
    InitDictionary();
    uint32_t previous = 0;
    uint64_t objects = 0;
    for (uint32_t i = 0; i < m_tocItemsCount; ++i) {
        const TOC entry = *tocEntry(i);
        if (entry.objectID != previous) {
            m_BentoObjectsTree.TreeInsert(entry.objectID, i);
            previous = entry.objectID;
            if (++objects % kObjectsPerProgressStep == 0)
                progressStep(objects);
        }
        indexEntry(i, entry);
    }
    progressEnd();
}

void VeskOMFI::indexEntry(uint32_t i, const TOC &entry)
{
    if (entry.objectID == kTocObjectID) {
        if (entry.propertyID == kCompositionMobsProperty && m_CompositionMobsTree.TreeNodeCount() == 0)
            readMobList(m_CompositionMobsTree, pDataFor(i), true);
        else if (entry.propertyID == kSourceMobsProperty && m_SourceMobsTree.TreeNodeCount() == 0)
            readMobList(m_SourceMobsTree, pDataFor(i), false);
    }
    if ((entry.propertyID == kGlobalTypeNameProperty || entry.propertyID == kGlobalPropNameProperty)
        && entry.isStored())
        readName(entry, i);
}

// A count, then 20-byte records: an unread word, the mob's 8 UID bytes, its object ID
// (little-endian) and an unread word. Only records that lie inside the value are read.
void VeskOMFI::readMobList(MobTree &tree, std::span<const uint8_t> value, bool isComposition)
{
    const uint64_t count = valueU16(value).value_or(0);
    if (count == 0)
        return;
    const uint64_t fits = (value.size() - 2) / kMobRecordSize;
    if (fits < count)
        VESK_LOG(QStringLiteral("Mob list of %1 records holds only %2").arg(count).arg(fits));
    for (uint64_t r = 0; r < std::min(count, fits); ++r) {
        const uint8_t *record = value.data() + 2 + r * kMobRecordSize;
        auto mob = std::make_shared<UIDtoBentoObj>(record + 4);
        mob->data.BentoID = qFromLittleEndian<uint32_t>(record + 12);
        tree.TreeInsertNode(std::move(mob));
        if (isComposition)
            ++m_compositionsCount;
    }
}

// Names are 7-bit ASCII; the terminating zero the writers add is not part of the name.
void VeskOMFI::readName(const TOC &entry, uint32_t i)
{
    const std::span<const uint8_t> value = pDataFor(i);
    if (value.empty())
        return;
    if (const std::optional<QString> name = VeskBentoText::ascii(value))
        m_OMFIDictionary.insert(entry.objectID, VeskBentoText::trimZeros(*name));
}

void VeskOMFI::InitDictionary()
{
    static const std::pair<uint32_t, const char *> kStandardNames[] = {
        { 1, "CM_StdObjID_TOC" },
        { 2, "CM_StdObjID_TOC_Seed" },
        { 3, "CM_StdObjID_TOC_MinSeed" },
        { 4, "CM_StdObjID_TOC_Object" },
        { 5, "CM_StdObjID_TOC_Container" },
        { 6, "CM_StdObjID_TOC_Deleted" },
        { 7, "CM_StdObjID_TOC_Free" },
        { 8, "CM_StdObjID_TOC_NewValuesTOC" },
        { 9, "CM_StdObjID_TOC_Target" },
        { 10, "CM_StdObjID_TOC_DeleteList" },
        { 19, "CM_StdObjID_TOC_Type" },
        { 21, "CM_StdObjID_7BitASCII" },
        { 22, "CM_StdObjID_8BitASCII" },
        { 23, "CM_StdObjID_GlobalTypeName" },
        { 24, "CM_StdObjID_GlobalPropName" },
        { 25, "CM_StdObjID_DynamicValues" },
        { 26, "CM_StdObjID_BaseTypes" },
        { 27, "CM_StdObjID_BaseTypeList" },
        { 28, "CM_StdObjID_TargetContainer" },
        { 29, "CM_StdObjID_ValueUpdates" },
        { 30, "CM_StdObjID_UpdatesData" },
        { 31, "CM_StdObjID_ObjReferences" },
        { 32, "CM_StdObjID_ObjRefData" },
        { 40, "CM_StdObjID_32BitImmValue" },
        { 41, "CM_StdObjID_16BitImmValue" },
        { 42, "CM_StdObjID_8BitImmValue" },
    };
    m_OMFIDictionary.clear();
    for (const auto &[id, name] : kStandardNames)
        m_OMFIDictionary.insert(id, QLatin1String(name));
}

// An indicator that takes calls from any thread gets them at once, in order; any other
// gets them on the main thread.
void VeskOMFI::updateIndicator(const std::function<void(VeskProgressIndicator &)> &change, bool wait) const
{
    VeskProgressIndicator *indicator = m_localWorkInProgressIndicator;
    if (indicator->takesCallsFromAnyThread())
        change(*indicator);
    else
        VeskMainThread::run([indicator, change] { change(*indicator); }, wait);
}

void VeskOMFI::progressStart() const
{
    if (!m_localWorkInProgressIndicator || !isBusy())
        return;
    const double maximum = double(m_bentoObjectsCount / kObjectsPerProgressStep);
    updateIndicator(
        [maximum](VeskProgressIndicator &indicator) {
            indicator.setIndeterminate(false);
            indicator.setDoubleValue(0);
            indicator.setMaxValue(maximum);
        },
        true);
}

void VeskOMFI::progressStep(uint64_t objects) const
{
    if (!m_localWorkInProgressIndicator || !isBusy())
        return;
    const double value = double(objects / kObjectsPerProgressStep);
    updateIndicator([value](VeskProgressIndicator &indicator) { indicator.setDoubleValue(value); }, false);
}

void VeskOMFI::progressEnd() const
{
    if (!m_localWorkInProgressIndicator)
        return;
    updateIndicator(
        [](VeskProgressIndicator &indicator) {
            indicator.setIndeterminate(true);
            indicator.setDoubleValue(0);
            indicator.setMaxValue(100);
            indicator.startAnimation();
        },
        true);
}

std::span<const uint8_t> VeskOMFI::tocBytes(uint32_t t) const
{
    if (t >= m_tocItemsCount)
        return {};
    return VeskByteReader(m_filedata).bytes(m_tocOffset + uint64_t(t) * kTocEntrySize, kTocEntrySize);
}

std::optional<VeskOMFI::TOC> VeskOMFI::tocEntry(uint32_t t) const
{
    const std::span<const uint8_t> bytes = tocBytes(t);
    if (bytes.empty())
        return std::nullopt;
    const auto word = [&](int i) { return qFromLittleEndian<uint32_t>(bytes.data() + 4 * i); };
    return TOC { word(0), word(1), word(2), word(3), word(4), word(5) };
}

std::span<const uint8_t> VeskOMFI::pDataFor(uint32_t t) const
{
    const std::optional<TOC> entry = tocEntry(t);
    if (!entry || entry->valueLength == 0)
        return {};
    if (entry->isStored())
        return VeskByteReader(m_filedata).bytes(entry->valueOffset, entry->valueLength);
    // An immediate value lives in the entry's 4-byte value-offset field.
    if (entry->valueLength > 4)
        return {};
    return tocBytes(t).subspan(12, entry->valueLength);
}

uint32_t VeskOMFI::lookForProperty(uint32_t p, uint32_t t) const
{
    const std::optional<TOC> first = tocEntry(t);
    if (!first)
        return 0;
    for (uint32_t i = t; i < m_tocItemsCount; ++i) {
        const TOC entry = *tocEntry(i);
        if (entry.objectID != first->objectID)
            break;
        if (entry.propertyID == p)
            return i;
    }
    return 0;
}

std::span<const uint8_t> VeskOMFI::valueOfProperty(uint32_t p, uint32_t t) const
{
    const uint32_t property = lookForProperty(p, t);
    return property == 0 ? std::span<const uint8_t>() : pDataFor(property);
}

std::optional<QString> VeskOMFI::GetStringForObjectAt(uint32_t t) const
{
    static constexpr uint32_t kStringProperties[] = { 0x10261, 0x1027f, 0x10298, 0x1029d, 0x102e1, 0x10257 };
    const std::optional<TOC> first = tocEntry(t);
    if (t == 0 || !first)
        return std::nullopt;
    for (uint32_t i = t; i < m_tocItemsCount; ++i) {
        const TOC entry = *tocEntry(i);
        if (entry.objectID != first->objectID)
            return std::nullopt;
        if (std::find(std::begin(kStringProperties), std::end(kStringProperties), entry.propertyID)
            == std::end(kStringProperties))
            continue;
        const std::span<const uint8_t> value = pDataFor(i);
        const std::optional<QString> text = VeskBentoText::platformText(value, m_isII);
        if (value.empty() || !text)
            return std::nullopt;
        return VeskBentoText::trimZeros(*text);
    }
    return std::nullopt;
}

uint32_t VeskOMFI::tocIndexOfObject(uint32_t objectID) const
{
    return m_BentoObjectsTree.TreefindNode(objectID);
}

std::optional<QString> VeskOMFI::nameForID(uint32_t id) const
{
    const auto found = m_OMFIDictionary.constFind(id);
    if (found == m_OMFIDictionary.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<uint16_t> VeskOMFI::valueU16(std::span<const uint8_t> value, uint64_t offset) const
{
    return VeskByteReader(value).read<uint16_t>(offset, !m_isII);
}

std::optional<uint32_t> VeskOMFI::valueU32(std::span<const uint8_t> value, uint64_t offset) const
{
    return VeskByteReader(value).read<uint32_t>(offset, !m_isII);
}

uint32_t VeskOMFI::resolveReference(std::span<const uint8_t> value, uint64_t offset) const
{
    const std::optional<uint32_t> object = VeskByteReader(value).readLE<uint32_t>(offset);
    return object ? tocIndexOfObject(*object) : kNone;
}

uint32_t VeskOMFI::followReference(uint32_t t, uint32_t p) const
{
    const uint32_t property = lookForProperty(p, t);
    return property == 0 ? kNone : resolveReference(pDataFor(property));
}

std::vector<uint32_t> VeskOMFI::referenceList(std::span<const uint8_t> value) const
{
    const uint64_t count = valueU16(value).value_or(0);
    if (count == 0)
        return {};
    const uint64_t elements = std::min(count, (value.size() - 2) / kReferenceElementSize);
    std::vector<uint32_t> objects(elements);
    for (uint64_t e = 0; e < elements; ++e)
        objects[e] = qFromLittleEndian<uint32_t>(value.data() + 2 + e * kReferenceElementSize);
    return objects;
}

uint32_t VeskOMFI::findMob(MobTree &tree, const uint8_t *uid) const
{
    const std::shared_ptr<UIDtoBentoObj> mob = tree.TreefindNode(UIDtoBentoObj(uid));
    return mob ? tocIndexOfObject(mob->data.BentoID) : kNone;
}

uint32_t VeskOMFI::findCompositionMob(const uint8_t *uid) const
{
    return findMob(m_CompositionMobsTree, uid);
}

uint32_t VeskOMFI::findSourceMob(const uint8_t *uid) const
{
    return findMob(m_SourceMobsTree, uid);
}

void VeskOMFI::addInfoToItem(VeskDatabaseItem &item)
{
    VeskOMFIMediaInfo(*this).addInfoToItem(item);
}

uint32_t VeskOMFI::numberOfChildrenOfItem(const VeskInspectorRow *row)
{
    return m_outline->numberOfChildrenOfItem(row);
}

VeskInspectorRowRef VeskOMFI::child(uint32_t index, const VeskInspectorRow *row)
{
    return m_outline->child(index, row);
}

std::optional<VeskPreviewContents> VeskOMFI::getNSViewWithContentsFor(const VeskInspectorRow *row)
{
    if (!row)
        return std::nullopt;
    return VeskPreviewContents { VeskOMFIInspectorText(*this).getExtendedDescriptionFor(row),
        VeskPreviewContents::Style::FixedPitchText };
}
