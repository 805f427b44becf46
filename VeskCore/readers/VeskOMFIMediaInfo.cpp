#include "readers/VeskOMFIMediaInfo.h"

#include "base/VeskNSLog.h"
#include "model/VeskDatabaseItem.h"
#include "readers/VeskOMFI.h"
#include "readers/VeskOMFIInspectorText.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

namespace P {
constexpr uint32_t UsageCode = 0x1033d, EditRate = 0x10293, Attributes = 0x1028e, AttrRefs = 0x1026b;
constexpr uint32_t AttrName = 0x10257, MediaDescription = 0x10333;
constexpr uint32_t AudioRate = 0x1074d, AudioMarker = 0x1022f, SampleRate = 0x1031a, AudioBits = 0x10749;
constexpr uint32_t FourCC = 0x108d9, ResolutionID = 0x108f7, VideoRate = 0x108ed, VideoBits = 0x10919;
constexpr uint32_t Slots = 0x1040f, Segment = 0x103f6, Components = 0x10374, SourceID = 0x10356;
} // namespace P

constexpr uint32_t kImportedUsageCode = 15;
constexpr uint64_t kMobKeyOffset = 16; // an item keeps an 8-byte UID at bytes 16 to 23

bool startsWith(std::span<const uint8_t> value, const QByteArray &prefix)
{
    return value.size() >= size_t(prefix.size()) && std::memcmp(value.data(), prefix.constData(), prefix.size()) == 0;
}

} // namespace

VeskOMFIMediaInfo::VeskOMFIMediaInfo(const VeskOMFI &omfi)
    : m_omfi(omfi)
{
}

void VeskOMFIMediaInfo::addInfoToItem(VeskDatabaseItem &item)
{
    const uint32_t c = m_omfi.findCompositionMob(item.DB_materialPackageUID()->UMIDx.data() + kMobKeyOffset);
    const uint32_t s = m_omfi.findSourceMob(item.DB_filePackageUID()->UMIDx.data() + kMobKeyOffset);
    if (c != VeskOMFI::kNone)
        addCompositionInfo(item, c);
    if (s != VeskOMFI::kNone)
        addSourceInfo(item, s);
}

void VeskOMFIMediaInfo::addCompositionInfo(VeskDatabaseItem &item, uint32_t c) const
{
    item.setDB_NameInBin(m_omfi.GetStringForObjectAt(c).value_or(QString()));
    // The usage code is an immediate value: the bytes of the entry's value-offset field.
    if (const uint32_t usage = m_omfi.lookForProperty(P::UsageCode, c)) {
        if (const std::optional<uint32_t> code = m_omfi.valueU32(m_omfi.tocBytes(usage), 12))
            item.setDB_usageCode(*code);
    }
    const std::span<const uint8_t> rate = m_omfi.valueOfProperty(P::EditRate, c);
    if (rate.size() >= 8)
        item.setFrameRateNumerator(*m_omfi.valueU32(rate), *m_omfi.valueU32(rate, 4));
    if (hasImportSetting(c))
        item.setDB_usageCode(kImportedUsageCode);
}

void VeskOMFIMediaInfo::addSourceInfo(VeskDatabaseItem &item, uint32_t s)
{
    if (const std::optional<QString> project = getProjectNameForObjAt(s))
        item.setDB_ProjectName(*project);
    CompressionData record;
    if (!getCompression_data(&record, s))
        return;
    *item.DB_CompressionFourCC() = record.fourCC;
    item.setDB_DIDResolutionID(record.resolutionID);
    item.setSampleRateNumerator(record.rateNumerator, record.rateDenominator);
    item.setDB_bits(record.bits);
}

std::vector<uint32_t> VeskOMFIMediaInfo::attributesOf(uint32_t t) const
{
    const uint32_t list = m_omfi.followReference(t, P::Attributes);
    if (list == VeskOMFI::kNone)
        return {};
    return m_omfi.referenceList(m_omfi.valueOfProperty(P::AttrRefs, list));
}

// The TOC index of the attribute's name entry when the name begins with the prefix, else 0.
uint32_t VeskOMFIMediaInfo::nameEntryOfAttribute(uint32_t objectID, const QByteArray &prefix) const
{
    const uint32_t attribute = m_omfi.tocIndexOfObject(objectID);
    if (attribute == VeskOMFI::kNone)
        return 0;
    const uint32_t name = m_omfi.lookForProperty(P::AttrName, attribute);
    return name != 0 && startsWith(m_omfi.pDataFor(name), prefix) ? name : 0;
}

// Any attribute whose name begins with "_IMPORTSETTING" marks imported media. Each
// attribute object is looked at once, however often the list names it.
bool VeskOMFIMediaInfo::hasImportSetting(uint32_t c) const
{
    std::unordered_set<uint32_t> seen;
    for (uint32_t objectID : attributesOf(c)) {
        if (seen.insert(objectID).second && nameEntryOfAttribute(objectID, "_IMPORTSETTING") != 0)
            return true;
    }
    return false;
}

// The last "_PJ" attribute in list order wins: searched from the end, the first found.
std::optional<QString> VeskOMFIMediaInfo::getProjectAttributeForObjectAt(uint32_t t) const
{
    if (t == VeskOMFI::kNone)
        return std::nullopt;
    const std::vector<uint32_t> attributes = attributesOf(t);
    std::unordered_set<uint32_t> seen;
    for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
        if (!seen.insert(*it).second)
            continue;
        if (const uint32_t name = nameEntryOfAttribute(*it, "_PJ"))
            return m_omfi.GetStringForObjectAt(name + 1);
    }
    return std::nullopt;
}

std::optional<QString> VeskOMFIMediaInfo::getProjectNameForObjAt(uint32_t s)
{
    if (s == VeskOMFI::kNone)
        return std::nullopt;
    if (std::optional<QString> own = getProjectAttributeForObjectAt(s))
        return own;
    const Outcome reached
        = lastReached(m_omfi.referenceList(m_omfi.valueOfProperty(P::Slots, s)), &VeskOMFIMediaInfo::slotOutcome);
    return reached.value_or(std::nullopt);
}

// Visits the objects in list order; the outcome is that of the last one that reached
// an upstream source mob.
VeskOMFIMediaInfo::Outcome VeskOMFIMediaInfo::lastReached(
    const std::vector<uint32_t> &objectIDs, Outcome (VeskOMFIMediaInfo::*visit)(uint32_t))
{
    Outcome result;
    for (uint32_t objectID : objectIDs) {
        if (Outcome outcome = (this->*visit)(objectID))
            result = std::move(outcome);
    }
    return result;
}

VeskOMFIMediaInfo::Outcome VeskOMFIMediaInfo::memoized(
    Level level, uint32_t t, const std::function<Outcome()> &evaluate)
{
    const uint64_t key = (uint64_t(level) << 32) | t;
    if (const auto found = m_walked.find(key); found != m_walked.end())
        return found->second;
    Outcome outcome = evaluate();
    m_walked.emplace(key, outcome);
    return outcome;
}

VeskOMFIMediaInfo::Outcome VeskOMFIMediaInfo::slotOutcome(uint32_t objectID)
{
    const uint32_t slot = m_omfi.tocIndexOfObject(objectID);
    if (slot == VeskOMFI::kNone)
        return {};
    return memoized(Level::Slot, slot, [&] {
        const uint32_t segment = m_omfi.followReference(slot, P::Segment);
        return segment == VeskOMFI::kNone ? Outcome() : segmentOutcome(segment);
    });
}

VeskOMFIMediaInfo::Outcome VeskOMFIMediaInfo::segmentOutcome(uint32_t segment)
{
    return memoized(Level::Segment, segment, [&] {
        return lastReached(m_omfi.referenceList(m_omfi.valueOfProperty(P::Components, segment)),
            &VeskOMFIMediaInfo::sourceClipOutcome);
    });
}

VeskOMFIMediaInfo::Outcome VeskOMFIMediaInfo::sourceClipOutcome(uint32_t objectID)
{
    const uint32_t clip = m_omfi.tocIndexOfObject(objectID);
    if (clip == VeskOMFI::kNone)
        return {};
    return memoized(Level::SourceClip, clip, [&]() -> Outcome {
        const uint32_t uid = m_omfi.lookForProperty(P::SourceID, clip);
        const std::optional<uint32_t> mob = uid == 0 ? std::nullopt : upstreamMob(uid);
        if (!mob)
            return {};
        return memoized(Level::Mob, *mob, [&] { return Outcome(getProjectAttributeForObjectAt(*mob)); });
    });
}

// The source mob a source clip's UID names: bytes 16 to 23 of a 32-byte UMID, or bytes
// 4 to 11 of a 12-byte mob ID.
std::optional<uint32_t> VeskOMFIMediaInfo::upstreamMob(uint32_t uidEntry) const
{
    const std::span<const uint8_t> uid = m_omfi.pDataFor(uidEntry);
    if (uid.empty())
        return std::nullopt;
    if (uid.size() != 32 && uid.size() != 12) {
        VESK_LOG(QStringLiteral("ERROR IN OMFI PARSER. UID capacity is::%1l\n").arg(uid.size()));
        VESK_LOG(QStringLiteral("[%1 %2]").arg(QStringLiteral("VeskOMFI"), QStringLiteral("getProjectNameForObjAt")));
        VESK_LOG(QStringLiteral("%1\n").arg(VeskOMFIInspectorText(m_omfi).StringForTocIndexItem(uidEntry)));
        return std::nullopt;
    }
    const uint32_t mob = m_omfi.findSourceMob(uid.data() + (uid.size() == 32 ? 16 : 4));
    return mob == VeskOMFI::kNone ? std::nullopt : std::optional<uint32_t>(mob);
}

bool VeskOMFIMediaInfo::getCompression_data(CompressionData *record, uint32_t s) const
{
    if (!record || s == VeskOMFI::kNone)
        return false;
    *record = {};
    const uint32_t d = m_omfi.followReference(s, P::MediaDescription);
    if (d == VeskOMFI::kNone)
        return false;
    const auto has = [&](uint32_t p) { return m_omfi.lookForProperty(p, d) != 0; };
    if (has(P::AudioRate))
        return readAudio(*record, d, P::AudioRate);
    if (has(P::AudioMarker) && has(P::SampleRate))
        return readAudio(*record, d, P::SampleRate);
    return readVideo(*record, d);
}

bool VeskOMFIMediaInfo::readAudio(CompressionData &record, uint32_t d, uint32_t rateProperty) const
{
    std::memcpy(record.fourCC.UMIDx.data(), "_AUD", 4);
    const std::span<const uint8_t> rate = m_omfi.valueOfProperty(rateProperty, d);
    if (rate.size() >= 8) {
        record.rateNumerator = *m_omfi.valueU32(rate);
        record.rateDenominator = *m_omfi.valueU32(rate, 4);
    }
    record.bits = m_omfi.valueU32(m_omfi.valueOfProperty(P::AudioBits, d)).value_or(0);
    return true;
}

bool VeskOMFIMediaInfo::readVideo(CompressionData &record, uint32_t d) const
{
    const uint32_t fourCC = m_omfi.lookForProperty(P::FourCC, d);
    if (fourCC == 0)
        return false;
    const std::span<const uint8_t> code = m_omfi.pDataFor(fourCC);
    if (!code.empty())
        std::memcpy(record.fourCC.UMIDx.data(), code.data(), std::min<size_t>(code.size(), 4));
    record.resolutionID = m_omfi.valueU32(m_omfi.valueOfProperty(P::ResolutionID, d)).value_or(0);
    if (m_omfi.lookForProperty(P::SampleRate, d) == 0)
        return true;
    const std::optional<uint32_t> rate = m_omfi.valueU32(m_omfi.valueOfProperty(P::VideoRate, d));
    if (!rate)
        return true;
    record.rateNumerator = *rate;
    record.rateDenominator = 1;
    record.bits = m_omfi.valueU32(m_omfi.valueOfProperty(P::VideoBits, d)).value_or(0);
    return true;
}
