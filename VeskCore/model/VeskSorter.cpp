#include "model/VeskSorter.h"

#include <algorithm>
#include <cstring>

namespace {

uint64_t textPrefix(const QString &folded)
{
    uint64_t prefix = 0;
    for (qsizetype i = 0; i < 4; ++i)
        prefix = (prefix << 16) | (i < folded.size() ? folded[i].unicode() : 0);
    return prefix;
}

// Dates sort as unsigned numbers: flip the sign bit of the signed milliseconds.
uint64_t dateKey(const QDateTime &date)
{
    return uint64_t(date.toMSecsSinceEpoch()) ^ (uint64_t(1) << 63);
}

template <typename T> int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

VeskSorter::VeskSorter(const std::vector<VeskItemRef> &items, int showOnlyExistingFiles)
    : m_items(items)
    , m_hideInvalid(showOnlyExistingFiles == 1)
{
}

bool VeskSorter::isKnownKey(const QString &key)
{
    static const QStringList keys = {
        QStringLiteral("filename"), QStringLiteral("clipname"), QStringLiteral("project"),
        QStringLiteral("filesize"), QStringLiteral("path"), QStringLiteral("fileUID"),
        QStringLiteral("materialUID"), QStringLiteral("hash"), QStringLiteral("filedate"),
        QStringLiteral("compression"), QStringLiteral("samplerate"), QStringLiteral("framerate"),
        QStringLiteral("bits"),
    };
    return keys.contains(key);
}

void VeskSorter::sortUsingDescriptors(std::vector<uint32_t> &positions,
                                      const std::vector<VeskSortDescriptor> &descriptors)
{
    const size_t used = descriptors.size() > 3 ? 1 : descriptors.size();
    for (size_t i = used; i-- > 0;)
        if (isKnownKey(descriptors[i].key))
            sortPass(positions, descriptors[i]);
}

void VeskSorter::sortPass(std::vector<uint32_t> &positions, const VeskSortDescriptor &descriptor)
{
    readKeys(positions, descriptor.key);
    const bool ascending = descriptor.ascending;
    std::stable_sort(positions.begin(), positions.end(),
                     [this, ascending](uint32_t a, uint32_t b) { return before(a, b, ascending); });
}

void VeskSorter::readKeys(const std::vector<uint32_t> &positions, const QString &key)
{
    const size_t count = m_items.size();
    m_valid.assign(count, 1);
    m_absent.assign(count, 0);
    m_numbers.assign(count, 0);
    m_texts.clear();
    m_uids.clear();
    const bool isText = key == QLatin1String("filename") || key == QLatin1String("clipname")
        || key == QLatin1String("project") || key == QLatin1String("path");
    const bool isUid = key == QLatin1String("fileUID") || key == QLatin1String("materialUID");
    m_kind = isText ? Kind::Text : (isUid ? Kind::Uid : Kind::Number);
    if (isText)
        m_texts.resize(count);
    if (isUid)
        m_uids.resize(count);
    for (uint32_t p : positions) {
        const VeskDatabaseItem &item = *m_items[p];
        m_valid[p] = item.DB_isValid();
        if (m_hideInvalid && !m_valid[p])
            continue; // never compared by key
        if (isText) {
            QString text = key == QLatin1String("filename") ? item.DB_ClipName()
                : key == QLatin1String("clipname")          ? item.DB_NameInBin()
                : key == QLatin1String("project")           ? item.get_DB_ProjectName()
                                                            : item.DB_itemPath();
            m_absent[p] = text.isEmpty();
            m_texts[p] = text.toCaseFolded();
            m_numbers[p] = textPrefix(m_texts[p]);
        } else if (isUid) {
            m_uids[p] = key == QLatin1String("fileUID") ? item.DB_filePackageUID() : item.DB_materialPackageUID();
        } else if (key == QLatin1String("filedate")) {
            const QDateTime date = item.DB_Date();
            m_absent[p] = !date.isValid();
            m_numbers[p] = date.isValid() ? dateKey(date) : 0;
        } else if (key == QLatin1String("filesize")) {
            m_numbers[p] = item.DB_filesize().value_or(0);
        } else if (key == QLatin1String("hash")) {
            m_numbers[p] = item.hash();
        } else if (key == QLatin1String("compression")) {
            m_numbers[p] = (uint64_t(item.DB_CompressionFourCC()->UMIDx32t()) << 32) | item.DB_DIDResolutionID();
        } else if (key == QLatin1String("samplerate")) {
            m_numbers[p] = item.DB_samplerate().numerator;
        } else if (key == QLatin1String("framerate")) {
            m_numbers[p] = item.DB_framerate().numerator;
        } else if (key == QLatin1String("bits")) {
            m_numbers[p] = item.DB_bits();
        }
    }
}

// Ascending three-way comparison of the keys of two positions.
int VeskSorter::compare(uint32_t a, uint32_t b) const
{
    switch (m_kind) {
    case Kind::Number:
        return threeWay(m_numbers[a], m_numbers[b]);
    case Kind::Text:
        if (m_numbers[a] != m_numbers[b])
            return threeWay(m_numbers[a], m_numbers[b]);
        return threeWay(QString::compare(m_texts[a], m_texts[b], Qt::CaseSensitive), 0);
    case Kind::Uid:
        // Greater UIDs first in ascending order.
        return -threeWay(std::memcmp(m_uids[a]->UMIDx.data(), m_uids[b]->UMIDx.data(), 32), 0);
    }
    return 0;
}

bool VeskSorter::before(uint32_t a, uint32_t b, bool ascending) const
{
    if (m_hideInvalid) {
        if (m_valid[a] != m_valid[b])
            return ascending ? m_valid[a] : m_valid[b];
        if (!m_valid[a])
            return false;
    }
    // Items without the compared value follow those with one, in both directions.
    if (m_absent[a] != m_absent[b])
        return m_absent[b];
    if (m_absent[a])
        return false;
    const int order = compare(a, b);
    return ascending ? order < 0 : order > 0;
}
