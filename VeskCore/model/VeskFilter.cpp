#include "model/VeskFilter.h"

namespace {
constexpr uint32_t kUsagePrecompute = 1;
constexpr uint32_t kUsageImported = 15;
constexpr uint32_t kAudioCode = 0x4455415F; // "_AUD"
} // namespace

VeskFilter &VeskFilter::sharedFilter()
{
    static VeskFilter filter;
    return filter;
}

void VeskFilter::ResetFilter()
{
    *this = VeskFilter();
}

bool VeskFilter::hasKindOrProblemFlags() const
{
    return m_precomputes || m_importedMedia || m_audioMedia || m_nonPortableFiles || m_badUMID || m_unreferenced;
}

bool VeskFilter::itemPassFilter(const VeskDatabaseItem *item) const
{
    return item && passesKindTest(*item) && passesSearchTest(*item) && passesProblemTest(*item);
}

bool VeskFilter::passesKindTest(const VeskDatabaseItem &item) const
{
    if (!m_precomputes && !m_importedMedia && !m_audioMedia)
        return true;
    return (m_importedMedia && item.DB_usageCode() == kUsageImported)
        || (m_precomputes && item.DB_usageCode() == kUsagePrecompute)
        || (m_audioMedia && item.DB_CompressionFourCC()->UMIDx32t() == kAudioCode);
}

bool VeskFilter::passesProblemTest(const VeskDatabaseItem &item) const
{
    if (!m_nonPortableFiles && !m_badUMID && !m_unreferenced)
        return true;
    return (m_nonPortableFiles && !item.DB_isPortableFilename()) || (m_badUMID && !item.DB_isGoodUUID())
        || (m_unreferenced && !item.DB_isReferenced()
            && item.DB_referenceState() == VeskDatabaseItem::ReferenceState::Known);
}

bool VeskFilter::passesSearchTest(const VeskDatabaseItem &item) const
{
    if (m_filterString.isEmpty())
        return true;
    const auto has = [this](const QString &field) { return field.contains(m_filterString, Qt::CaseInsensitive); };
    return has(item.DB_NameInBin()) || has(item.DB_ClipName()) || has(item.get_DB_ProjectName())
        || has(item.DB_itemPath());
}
