#include "model/VeskSorter.h"

#include "model/VeskTextMatcher.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

namespace {

// The first sixteen folded units of a text, most significant first, and its length:
// most comparisons of two texts are a few integer comparisons, and two texts of up to
// sixteen units with equal prefixes are equal.
struct TextPrefix {
    static constexpr qsizetype kUnits = 16;
    std::array<uint64_t, 4> words {};
    qsizetype length = 0;

    explicit TextPrefix(const QString &text)
        : length(text.size())
    {
        for (qsizetype i = 0; i < kUnits; ++i) {
            const uint64_t unit = i < text.size() ? VeskTextMatcher::fold(text[i].unicode()) : 0;
            words[size_t(i / 4)] = (words[size_t(i / 4)] << 16) | unit;
        }
    }
    bool isWhole() const { return length <= kUnits; }
};

// Dates sort as unsigned numbers: flip the sign bit of the signed milliseconds.
uint64_t dateKey(const QDateTime &date)
{
    return uint64_t(date.toMSecsSinceEpoch()) ^ (uint64_t(1) << 63);
}

// Rank of each element: equal elements share a rank, smaller ones get smaller ranks.
template <typename Less, typename Equal> std::vector<uint64_t> ranks(size_t count, Less less, Equal equal)
{
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), less);
    std::vector<uint64_t> rank(count);
    uint64_t current = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && !equal(order[i - 1], order[i]))
            ++current;
        rank[order[i]] = current;
    }
    return rank;
}

} // namespace

VeskSorter::VeskSorter(const std::vector<VeskItemRef> &items, int showOnlyExistingFiles)
    : m_items(items)
    , m_hideInvalid(showOnlyExistingFiles == 1)
{
}

bool VeskSorter::isKnownKey(const QString &key)
{
    return VeskColumns::sortColumn(key) != VeskColumnID::Unknown;
}

void VeskSorter::sortUsingDescriptors(
    std::vector<uint32_t> &positions, const std::vector<VeskSortDescriptor> &descriptors)
{
    const size_t used = descriptors.size() > 3 ? 1 : descriptors.size();
    for (size_t i = used; i-- > 0;)
        if (isKnownKey(descriptors[i].key))
            sortPass(positions, descriptors[i]);
}

// Each position becomes (class, key, previous place). Classes: with hidden invalid
// items, valid ones come first ascending and last descending, and invalid ones keep
// their order among themselves; items without a value follow those with one.
void VeskSorter::sortPass(std::vector<uint32_t> &positions, const VeskSortDescriptor &descriptor)
{
    readKeys(VeskColumns::sortColumn(descriptor.key));
    struct Entry {
        uint8_t rank;
        uint64_t key;
        uint32_t place;
        uint32_t position;
    };
    const bool ascending = descriptor.ascending;
    std::vector<Entry> entries;
    entries.reserve(positions.size());
    for (uint32_t place = 0; place < positions.size(); ++place) {
        const uint32_t p = positions[place];
        const bool hidden = m_hideInvalid && !m_items[p]->DB_isValid();
        const uint8_t rank = hidden ? (ascending ? 2 : 0) : (ascending ? 0 : 1) + (m_absent[p] ? 1 : 0);
        const uint64_t key = hidden || m_absent[p] ? 0 : (ascending ? m_keys[p] : ~m_keys[p]);
        entries.push_back({ rank, key, place, p });
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        return a.key != b.key ? a.key < b.key : a.place < b.place;
    });
    for (size_t i = 0; i < entries.size(); ++i)
        positions[i] = entries[i].position;
}

QString VeskSorter::textOf(const VeskDatabaseItem &item, VeskColumnID column)
{
    switch (column) {
    case VeskColumnID::Filename: return item.DB_ClipName();
    case VeskColumnID::Clipname: return item.DB_NameInBin();
    case VeskColumnID::Project: return item.get_DB_ProjectName();
    default: return item.DB_itemPath();
    }
}

uint64_t VeskSorter::numberOf(const VeskDatabaseItem &item, VeskColumnID column)
{
    switch (column) {
    case VeskColumnID::Size: return item.DB_filesize().value_or(0);
    case VeskColumnID::Hash: return item.hash();
    case VeskColumnID::Compression:
        return (uint64_t(item.DB_CompressionFourCC()->UMIDx32t()) << 32) | item.DB_DIDResolutionID();
    case VeskColumnID::Samplerate: return item.DB_samplerate().numerator;
    case VeskColumnID::Framerate: return item.DB_framerate().numerator;
    case VeskColumnID::Bits: return item.DB_bits();
    default: return 0;
    }
}

void VeskSorter::readKeys(VeskColumnID column)
{
    const size_t count = m_items.size();
    m_keys.assign(count, 0);
    m_absent.assign(count, 0);
    switch (column) {
    case VeskColumnID::Filename:
    case VeskColumnID::Clipname:
    case VeskColumnID::Project:
    case VeskColumnID::Path: return rankTexts(column);
    case VeskColumnID::FilePackageUID:
    case VeskColumnID::MaterialPackageUID: return rankUIDs(column == VeskColumnID::MaterialPackageUID);
    case VeskColumnID::Date:
        for (size_t p = 0; p < count; ++p) {
            const QDateTime date = m_items[p]->DB_Date();
            m_absent[p] = !date.isValid();
            m_keys[p] = date.isValid() ? dateKey(date) : 0;
        }
        return;
    default:
        for (size_t p = 0; p < count; ++p)
            m_keys[p] = numberOf(*m_items[p], column);
    }
}

// Case-insensitive text order as ranks. Items of one folder or project share one text,
// so each distinct text is folded and ranked once.
void VeskSorter::rankTexts(VeskColumnID column)
{
    struct Text {
        TextPrefix prefix;
        uint32_t id;
    };
    std::vector<QString> distinct; // compared in folded form
    std::vector<Text> texts;
    std::vector<uint32_t> textOfItem(m_items.size());
    const QChar *lastData = nullptr;
    for (size_t p = 0; p < m_items.size(); ++p) {
        const QString text = textOf(*m_items[p], column);
        m_absent[p] = text.isEmpty();
        if (distinct.empty() || text.constData() != lastData) {
            lastData = text.constData();
            distinct.push_back(text);
            texts.push_back({ TextPrefix(distinct.back()), uint32_t(texts.size()) });
        }
        textOfItem[p] = uint32_t(texts.size() - 1);
    }
    const auto compare = [&](const Text &a, const Text &b) {
        if (a.prefix.words != b.prefix.words)
            return a.prefix.words < b.prefix.words ? -1 : 1;
        if (a.prefix.isWhole() && b.prefix.isWhole())
            return 0;
        return VeskTextMatcher::compareFolded(distinct[a.id], distinct[b.id]);
    };
    std::sort(texts.begin(), texts.end(), [&](const Text &a, const Text &b) { return compare(a, b) < 0; });
    std::vector<uint64_t> rank(texts.size());
    uint64_t current = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0 && compare(texts[i - 1], texts[i]) != 0)
            ++current;
        rank[texts[i].id] = current;
    }
    for (size_t p = 0; p < m_items.size(); ++p)
        m_keys[p] = rank[textOfItem[p]];
}

// Byte by byte, the greater UID first in ascending order.
void VeskSorter::rankUIDs(bool material)
{
    const auto uid = [&](uint32_t p) {
        return (material ? m_items[p]->DB_materialPackageUID() : m_items[p]->DB_filePackageUID())->UMIDx.data();
    };
    m_keys = ranks(
        m_items.size(), [&](uint32_t a, uint32_t b) { return std::memcmp(uid(a), uid(b), 32) > 0; },
        [&](uint32_t a, uint32_t b) { return std::memcmp(uid(a), uid(b), 32) == 0; });
}
