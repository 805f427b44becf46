#pragma once

#include "model/VeskUUID.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

class VeskDatabaseItem;
class VeskOMFI;

/// What a media database knows about one media item: the clip's name in the bins, its
/// usage code, import flag and frame rate from the composition mob; the project, the
/// compression, resolution, sample rate and bit depth from the source mob. Works on an
/// opened VeskOMFI and changes only the item it is given.
///
/// The project walk from a source mob through its slots, segments and source clips has
/// a fixed depth, and each object on it is evaluated once per walk, so lists that
/// repeat an object or lead back to where they started cost no more than the objects
/// they name.
class VeskOMFIMediaInfo {
public:
    /// The compression facts of a source mob's media descriptor.
    struct CompressionData {
        VeskOctet fourCC;
        uint32_t rateNumerator = 0;
        uint32_t rateDenominator = 0;
        uint32_t resolutionID = 0;
        uint32_t bits = 0;
    };

    explicit VeskOMFIMediaInfo(const VeskOMFI &omfi);

    /// Copies what the composition mob of the item's material UID and the source mob of
    /// its file UID say into the item; leaves the item alone where neither is found.
    void addInfoToItem(VeskDatabaseItem &item);

    bool getCompression_data(CompressionData *record, uint32_t s) const;
    /// The project of a source mob: its own "_PJ" attribute, or else that of the last
    /// upstream source mob its source clips reach.
    std::optional<QString> getProjectNameForObjAt(uint32_t s);
    /// The text following the mob's last "_PJ" attribute name.
    std::optional<QString> getProjectAttributeForObjectAt(uint32_t t) const;

private:
    /// Not reached at all, or reached with a project (possibly none).
    using Outcome = std::optional<std::optional<QString>>;
    enum class Level : uint64_t { Slot = 1, Segment, SourceClip, Mob };

    void addCompositionInfo(VeskDatabaseItem &item, uint32_t c) const;
    void addSourceInfo(VeskDatabaseItem &item, uint32_t s);
    bool hasImportSetting(uint32_t c) const;
    std::vector<uint32_t> attributesOf(uint32_t t) const;
    uint32_t nameEntryOfAttribute(uint32_t objectID, const QByteArray &prefix) const;
    bool readAudio(CompressionData &record, uint32_t d, uint32_t rateProperty) const;
    bool readVideo(CompressionData &record, uint32_t d) const;
    Outcome memoized(Level level, uint32_t t, const std::function<Outcome()> &evaluate);
    Outcome slotOutcome(uint32_t objectID);
    Outcome segmentOutcome(uint32_t segment);
    Outcome sourceClipOutcome(uint32_t objectID);
    std::optional<uint32_t> upstreamMob(uint32_t uidEntry) const;
    Outcome lastReached(const std::vector<uint32_t> &objectIDs, Outcome (VeskOMFIMediaInfo::*visit)(uint32_t));

    const VeskOMFI &m_omfi;
    std::unordered_map<uint64_t, Outcome> m_walked;
};
