#include "MdbWriter.h"

#include "Bytes.h"
#include "MediaIndexWriter.h"

#include <utility>

namespace {

// Property and type IDs as the editing system's media databases use them.
namespace P {
constexpr uint32_t ObjClass = 0x10061, CompositionMobs = 0x101e9, SourceMobs = 0x10216;
constexpr uint32_t Name = 0x10261, MobID = 0x1032e, UsageCode = 0x1033d, EditRate = 0x10293;
constexpr uint32_t Attributes = 0x1028e, AttrRefs = 0x1026b, AttrName = 0x10257, AttrString = 0x1027f;
constexpr uint32_t MediaDescription = 0x10333, Slots = 0x1040f, Segment = 0x103f6, Components = 0x10374;
constexpr uint32_t SourceID = 0x10356;
constexpr uint32_t AudioRate = 0x1074d, AudioMarker = 0x1022f, SampleRate = 0x1031a, AudioBits = 0x10749;
constexpr uint32_t FourCC = 0x108d9, ResolutionID = 0x108f7, VideoRate = 0x108ed, VideoBits = 0x10919;
} // namespace P

namespace T {
constexpr uint32_t ClassID = 0x10081, String = 0x10090, Long = 0x10068, Rational = 0x10059;
constexpr uint32_t ObjRef = 0x10077, ObjRefArray = 0x1007c, MobIndex = 0x1006d, UID = 0x1009f;
} // namespace T

constexpr uint32_t kTocObject = 1;
constexpr uint32_t kIDsPerMedia = 16;

const std::pair<uint32_t, const char *> kPropertyNames[] = {
    { P::ObjClass, "OMFI:OOBJ:ObjClass" },
    { P::CompositionMobs, "OMFI:HEAD:CompositionMobs" },
    { P::SourceMobs, "OMFI:HEAD:SourceMobs" },
    { P::Name, "OMFI:MOBJ:Name" },
    { P::MobID, "OMFI:MOBJ:MobID" },
    { P::UsageCode, "OMFI:MOBJ:UsageCode" },
    { P::EditRate, "OMFI:CMOB:EditRate" },
    { P::Attributes, "OMFI:MOBJ:UserAttributes" },
    { P::AttrRefs, "OMFI:ATTR:AttrRefs" },
    { P::AttrName, "OMFI:ATTB:Name" },
    { P::AttrString, "OMFI:ATTB:StringAttribute" },
    { P::MediaDescription, "OMFI:SMOB:MediaDescription" },
    { P::SampleRate, "OMFI:MDFL:SampleRate" },
};

const std::pair<uint32_t, const char *> kTypeNames[] = {
    { T::ClassID, "omfi:ClassID" },
    { T::String, "omfi:String" },
    { T::Long, "omfi:Long" },
    { T::Rational, "omfi:ExactEditRate" },
    { T::ObjRef, "omfi:ObjRef" },
    { T::ObjRefArray, "omfi:ObjRefArray" },
    { T::MobIndex, "omfi:MobIndex" },
    { T::UID, "omfi:UID" },
};

// The key of the upstream source mob of media i; it cannot clash with generated UIDs.
QByteArray upstreamKey(uint32_t i)
{
    return QByteArray("\xEE\xEE", 2) + bytesOfNumber(i) + QByteArray(2, '\0');
}

// An attribute list holding one string attribute.
void writeAttribute(BentoWriter &w, uint32_t list, uint32_t attribute, const QByteArray &name, const QByteArray &value)
{
    w.stored(list, P::ObjClass, T::ClassID, "ATTR");
    w.stored(list, P::AttrRefs, T::ObjRefArray, w.referenceList({ attribute }));
    w.stored(attribute, P::ObjClass, T::ClassID, "ATTB");
    w.stored(attribute, P::AttrName, T::String, BentoWriter::text(name));
    w.stored(attribute, P::AttrString, T::String, BentoWriter::text(value));
}

// The objects of one media file, by their offset from its first object ID.
constexpr uint32_t kCompositionMob = 0, kCompositionAttributes = 1, kImportAttribute = 2, kSourceMob = 3,
                   kSourceAttributes = 4, kProjectAttribute = 5, kDescriptor = 6, kSlot = 7, kSegment = 8,
                   kSourceClip = 9, kUpstreamMob = 10, kUpstreamAttributes = 11, kUpstreamProject = 12;

// The 8 bytes a mob list keys a UID by.
QByteArray mobKey(const QByteArray &uid)
{
    return uid.size() == 32 ? uid.mid(16, 8) : uid.left(8).leftJustified(8, '\0');
}

// Object IDs of media file `index`.
struct Layout {
    uint32_t index;
    uint32_t operator[](uint32_t offset) const { return MdbWriter::kFirstObjectID + index * kIDsPerMedia + offset; }
};

void writeNames(BentoWriter &w)
{
    for (const auto &[id, name] : kPropertyNames)
        w.name(id, BentoWriter::text(name));
    for (const auto &[id, name] : kTypeNames)
        w.name(id, BentoWriter::text(name), true);
}

void writeCompositionMob(BentoWriter &w, const MdbMedia &m, const Layout &ids)
{
    const uint32_t mob = ids[kCompositionMob];
    w.stored(mob, P::ObjClass, T::ClassID, "CMOB");
    w.stored(mob, P::Name, T::String, BentoWriter::text(m.nameInBin));
    w.stored(mob, P::MobID, T::UID, QByteArray(4, '\0') + mobKey(m.materialUID));
    if (m.usageCode)
        w.immediate(mob, P::UsageCode, T::Long, w.u32(*m.usageCode));
    w.stored(mob, P::EditRate, T::Rational, w.pair(m.frameRateNumerator, m.frameRateDenominator));
    w.stored(mob, P::Attributes, T::ObjRef, BentoWriter::reference(ids[kCompositionAttributes]));
    if (m.imported) {
        writeAttribute(w, ids[kCompositionAttributes], ids[kImportAttribute], "_IMPORTSETTING_V1", "Import");
    } else {
        w.stored(ids[kCompositionAttributes], P::ObjClass, T::ClassID, "ATTR");
        w.stored(ids[kCompositionAttributes], P::AttrRefs, T::ObjRefArray, w.referenceList({}));
    }
}

void writeSourceMob(BentoWriter &w, const MdbMedia &m, const Layout &ids)
{
    const uint32_t mob = ids[kSourceMob];
    const bool ownProject = m.projectLink == MdbMedia::ProjectLink::Attribute && m.project;
    w.stored(mob, P::ObjClass, T::ClassID, "SMOB");
    w.stored(mob, P::MobID, T::UID, QByteArray(4, '\0') + mobKey(m.fileUID));
    if (ownProject)
        w.stored(mob, P::Attributes, T::ObjRef, BentoWriter::reference(ids[kSourceAttributes]));
    w.stored(mob, P::MediaDescription, T::ObjRef, BentoWriter::reference(ids[kDescriptor]));
    if (m.projectLink != MdbMedia::ProjectLink::Attribute)
        w.stored(mob, P::Slots, T::ObjRefArray, w.referenceList({ ids[kSlot] }));
    if (ownProject)
        writeAttribute(w, ids[kSourceAttributes], ids[kProjectAttribute], "_PJ", *m.project);
}

void writeDescriptor(BentoWriter &w, const MdbMedia &m, uint32_t id)
{
    w.stored(id, P::ObjClass, T::ClassID, "MDES");
    if (m.fourCC == "_AUD") {
        const QByteArray rate = w.pair(m.sampleRateNumerator, m.sampleRateDenominator);
        if (m.legacyAudioRate) {
            w.immediate(id, P::AudioMarker, T::Long, w.u32(1));
            w.stored(id, P::SampleRate, T::Rational, rate);
        } else {
            w.stored(id, P::AudioRate, T::Rational, rate);
        }
        w.immediate(id, P::AudioBits, T::Long, w.u32(m.bits));
        return;
    }
    w.immediate(id, P::FourCC, T::Long, m.fourCC);
    w.immediate(id, P::ResolutionID, T::Long, w.u32(m.resolutionID));
    w.stored(id, P::SampleRate, T::Rational, w.pair(m.sampleRateNumerator, m.sampleRateDenominator));
    w.immediate(id, P::VideoRate, T::Long, w.u32(m.sampleRateNumerator));
    w.immediate(id, P::VideoBits, T::Long, w.u32(m.bits));
}

// Source mob -> slot -> segment -> source clip naming the upstream source mob, which
// carries the project attribute.
void writeUpstream(BentoWriter &w, const MdbMedia &m, const Layout &ids)
{
    const QByteArray key = upstreamKey(ids.index);
    const QByteArray uid = m.projectLink == MdbMedia::ProjectLink::Reference32
        ? QByteArray::fromHex("060A2B340101010501010F2013000000") + key + QByteArray(8, '\x11')
        : QByteArray(4, '\0') + key;
    w.stored(ids[kSlot], P::ObjClass, T::ClassID, "MSLT");
    w.stored(ids[kSlot], P::Segment, T::ObjRef, BentoWriter::reference(ids[kSegment]));
    w.stored(ids[kSegment], P::ObjClass, T::ClassID, "SEQU");
    w.stored(ids[kSegment], P::Components, T::ObjRefArray, w.referenceList({ ids[kSourceClip] }));
    w.stored(ids[kSourceClip], P::ObjClass, T::ClassID, "SCLP");
    w.stored(ids[kSourceClip], P::SourceID, T::UID, uid);

    w.stored(ids[kUpstreamMob], P::ObjClass, T::ClassID, "SMOB");
    w.stored(ids[kUpstreamMob], P::MobID, T::UID, QByteArray(4, '\0') + key);
    if (!m.project)
        return;
    w.stored(ids[kUpstreamMob], P::Attributes, T::ObjRef, BentoWriter::reference(ids[kUpstreamAttributes]));
    writeAttribute(w, ids[kUpstreamAttributes], ids[kUpstreamProject], "_PJ", *m.project);
}

void writeMedia(BentoWriter &w, const MdbMedia &m, const Layout &ids)
{
    writeCompositionMob(w, m, ids);
    writeSourceMob(w, m, ids);
    writeDescriptor(w, m, ids[kDescriptor]);
    if (m.projectLink != MdbMedia::ProjectLink::Attribute)
        writeUpstream(w, m, ids);
}

} // namespace

MdbWriter &MdbWriter::media(const MdbMedia &media)
{
    m_media.append(media);
    return *this;
}

BentoWriter MdbWriter::container() const
{
    BentoWriter w(m_bigEndian);
    QList<QPair<QByteArray, uint32_t>> compositions;
    QList<QPair<QByteArray, uint32_t>> sources;
    for (int i = 0; i < m_media.size(); ++i) {
        const Layout ids { uint32_t(i) };
        compositions.append({ mobKey(m_media[i].materialUID), ids[kCompositionMob] });
        sources.append({ mobKey(m_media[i].fileUID), ids[kSourceMob] });
        if (m_media[i].projectLink != MdbMedia::ProjectLink::Attribute)
            sources.append({ upstreamKey(i), ids[kUpstreamMob] });
    }
    w.stored(kTocObject, P::CompositionMobs, T::MobIndex, w.mobList(compositions));
    w.stored(kTocObject, P::SourceMobs, T::MobIndex, w.mobList(sources));
    writeNames(w);
    for (int i = 0; i < m_media.size(); ++i)
        writeMedia(w, m_media[i], Layout { uint32_t(i) });
    return w;
}

MdbMedia MdbMedia::numbered(uint64_t number, const QByteArray &nameInBin, const QByteArray &project)
{
    MdbMedia media;
    media.fileUID = MediaIndexWriter::makeUID(8, number, false);
    media.materialUID = MediaIndexWriter::makeUID(8, number, true);
    media.nameInBin = nameInBin;
    media.project = project;
    return media;
}
