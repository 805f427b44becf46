#pragma once

#include "BentoWriter.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

/// One media file as a media database describes it. UIDs are 8 bytes or 32-byte UMIDs;
/// a mob is keyed by all 8 bytes, or by bytes 16 to 23 of a UMID. A fourCC of "_AUD"
/// makes an audio descriptor, anything else a video descriptor.
struct MdbMedia {
    /// Where the source mob's project name comes from: its own "_PJ" attribute, or an
    /// upstream source mob reached through slot, segment and source clip, named by a
    /// 32-byte or a 12-byte UID.
    enum class ProjectLink { Attribute, Reference32, Reference12 };

    QByteArray fileUID;
    QByteArray materialUID;
    QByteArray nameInBin;
    std::optional<QByteArray> project;
    ProjectLink projectLink = ProjectLink::Attribute;
    std::optional<uint32_t> usageCode;
    /// Adds an "_IMPORTSETTING" attribute to the composition mob.
    bool imported = false;
    QByteArray fourCC = "AVdn";
    uint32_t resolutionID = 0;
    uint32_t frameRateNumerator = 25;
    uint32_t frameRateDenominator = 1;
    /// Video: only the numerator is stored. Audio: both.
    uint32_t sampleRateNumerator = 25;
    uint32_t sampleRateDenominator = 1;
    uint32_t bits = 0;
    /// Audio whose rate sits in the older pair of descriptor properties.
    bool legacyAudioRate = false;

    /// A video file whose file and material UIDs carry the number (as MediaIndexWriter makes them).
    static MdbMedia numbered(uint64_t number, const QByteArray &nameInBin, const QByteArray &project);
};

/// Writes media databases ("msmMMOB.mdb"): the TOC object with the composition and
/// source mob lists, the global names of the properties and types used, then per
/// media file a composition mob with its attributes and a source mob with its
/// attributes, media descriptor and, where asked, the chain to an upstream source mob.
///
///     QByteArray mdb = MdbWriter().media({ .fileUID = f, .materialUID = m, .nameInBin = "Clip" }).bytes();
///
/// container() returns the finished container writer so that a test can still break
/// the label or add entries before taking the bytes.
class MdbWriter {
public:
    static constexpr uint32_t kFirstObjectID = 0x20000;

    explicit MdbWriter(bool bigEndian = false)
        : m_bigEndian(bigEndian)
    {
    }

    MdbWriter &media(const MdbMedia &media);

    BentoWriter container() const;
    QByteArray bytes() const { return container().bytes(); }
    bool writeTo(const QString &path) const { return container().writeTo(path); }

private:
    QList<MdbMedia> m_media;
    bool m_bigEndian;
};
