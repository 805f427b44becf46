#include "model/VeskSorter.h"

#include "model/VeskTextMatcher.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <numeric>

namespace {

// Texts are ranked in case-insensitive order four folded units at a time: a text is
// read again, from its next four units on, only while it agrees with others so far.
// The list sorted holds sixteen bytes per text, so that sorting moves little memory.
struct Text {
    static constexpr qsizetype kUnits = 4;
    uint64_t units = 0; // the units from the offset on, most significant first
    uint32_t count = 0; // units there, kUnits + 1 when the text goes on after them
    uint32_t id = 0; // index into the texts and the ranks

    Text(QStringView text, qsizetype offset, uint32_t textId)
        : id(textId)
    {
        const qsizetype left = text.size() - offset;
        count = uint32_t(std::min(left, kUnits + 1));
        for (qsizetype i = 0; i < kUnits; ++i)
            units = (units << 16) | (i < left ? VeskTextMatcher::fold(text[offset + i].unicode()) : 0);
    }
    bool goesOn() const { return count > kUnits; }
    bool operator<(const Text &other) const { return units != other.units ? units < other.units : count < other.count; }
    bool sameUnits(const Text &other) const { return units == other.units && count == other.count; }
};

// Whether the texts are all equal from the offset on: copies of one text are then
// ranked at once instead of four units at a time.
bool allEqualFrom(std::vector<Text>::iterator begin, std::vector<Text>::iterator end,
    const std::vector<QString> &strings, qsizetype offset)
{
    const QStringView first = QStringView(strings[begin->id]).mid(offset);
    return std::all_of(begin + 1, end, [&](const Text &text) {
        return VeskTextMatcher::compareFolded(QStringView(strings[text.id]).mid(offset), first) == 0;
    });
}

// Ranks the texts, which agree on their first `offset` units, counting from `next`;
// equal texts share a rank. Returns the next free rank.
uint64_t rankFolded(std::vector<Text>::iterator begin, std::vector<Text>::iterator end,
    const std::vector<QString> &strings, std::vector<uint64_t> &rank, uint64_t next, qsizetype offset = 0)
{
    if (offset > 0)
        for (auto it = begin; it != end; ++it)
            *it = Text(strings[it->id], offset, it->id);
    std::sort(begin, end);
    for (auto run = begin; run != end;) {
        auto runEnd = run + 1;
        while (runEnd != end && run->sameUnits(*runEnd))
            ++runEnd;
        if (run->goesOn() && runEnd - run > 1 && !allEqualFrom(run, runEnd, strings, offset + Text::kUnits)) {
            next = rankFolded(run, runEnd, strings, rank, next, offset + Text::kUnits);
        } else {
            for (auto it = run; it != runEnd; ++it)
                rank[it->id] = next;
            ++next;
        }
        run = runEnd;
    }
    return next;
}

std::vector<uint64_t> rankDistinct(const std::vector<QString> &strings)
{
    std::vector<Text> texts;
    texts.reserve(strings.size());
    for (uint32_t id = 0; id < strings.size(); ++id)
        texts.emplace_back(strings[id], 0, id);
    std::vector<uint64_t> rank(strings.size());
    rankFolded(texts.begin(), texts.end(), strings, rank, 0);
    return rank;
}

bool startsWithFolded(QStringView text, QStringView prefix)
{
    return text.size() >= prefix.size() && VeskTextMatcher::compareFolded(text.left(prefix.size()), prefix) == 0;
}

// Dates sort as unsigned numbers: flip the sign bit of the signed milliseconds.
uint64_t dateKey(int64_t msecs)
{
    return uint64_t(msecs) ^ (uint64_t(1) << 63);
}

} // namespace

VeskSorter::VeskSorter(const std::vector<VeskItemRef> &items, const VeskItemGroups &groups, int showOnlyExistingFiles,
    const VeskBinUsage *binUsage)
    : m_items(items)
    , m_groups(groups)
    , m_hideInvalid(showOnlyExistingFiles == 1)
    , m_binUsage(binUsage)
{
}

bool VeskSorter::isKnownKey(const QString &key)
{
    return VeskColumns::sortColumn(key) != VeskColumnID::Unknown;
}

bool VeskSorter::sortUsingDescriptors(std::vector<uint32_t> &positions,
    const std::vector<VeskSortDescriptor> &descriptors, const std::atomic<bool> *cancel)
{
    const size_t used = descriptors.size() > 3 ? 1 : descriptors.size();
    for (size_t i = used; i-- > 0;) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return false;
        if (isKnownKey(descriptors[i].key))
            sortPass(positions, descriptors[i]);
    }
    return true;
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
    case VeskColumnID::Clipname: return rankTexts(column);
    case VeskColumnID::Project: return rankProjects();
    case VeskColumnID::Path: return rankPaths();
    case VeskColumnID::UsedByBins: return rankBins();
    case VeskColumnID::FilePackageUID:
    case VeskColumnID::MaterialPackageUID: return rankUIDs(column == VeskColumnID::MaterialPackageUID);
    case VeskColumnID::Date:
        for (size_t p = 0; p < count; ++p) {
            const std::optional<int64_t> msecs = m_items[p]->DB_DateMSecs();
            m_absent[p] = !msecs;
            m_keys[p] = msecs ? dateKey(*msecs) : 0;
        }
        return;
    default:
        for (size_t p = 0; p < count; ++p)
            m_keys[p] = numberOf(*m_items[p], column);
    }
}

// Case-insensitive text order as ranks, each distinct text ranked once. Items often
// share a text with the item before them; names in bins also repeat across items
// that hold copies of them, so those are looked up.
void VeskSorter::rankTexts(VeskColumnID column)
{
    const bool repeats = column == VeskColumnID::Clipname;
    std::vector<QString> distinct;
    distinct.reserve(m_items.size());
    QHash<QStringView, uint32_t> seen;
    std::vector<uint32_t> textOfItem(m_items.size());
    for (size_t p = 0; p < m_items.size(); ++p) {
        const VeskDatabaseItem &item = *m_items[p];
        QString text = repeats ? item.DB_NameInBin() : item.DB_ClipName();
        m_absent[p] = text.isEmpty();
        if (!distinct.empty() && text.constData() == distinct.back().constData()) {
            textOfItem[p] = uint32_t(distinct.size() - 1);
            continue;
        }
        if (repeats) {
            if (const auto known = seen.constFind(text); known != seen.constEnd()) {
                textOfItem[p] = *known;
                continue;
            }
        }
        textOfItem[p] = uint32_t(distinct.size());
        distinct.push_back(std::move(text));
        if (repeats)
            seen.insert(distinct.back(), textOfItem[p]);
    }
    const std::vector<uint64_t> rank = rankDistinct(distinct);
    for (size_t p = 0; p < m_items.size(); ++p)
        m_keys[p] = rank[textOfItem[p]];
}

void VeskSorter::rankProjects()
{
    const std::vector<uint64_t> rank = rankDistinct(m_groups.projectNames);
    for (size_t p = 0; p < m_items.size(); ++p)
        m_keys[p] = rank[m_groups.projectIds[p]];
}

// A path is its folder's key (the folder and the separator) and the file name. Keys are
// ranked once per folder. Where one key begins others (a folder and its subfolders)
// their items form one group ordered by what follows that shortest key; groups follow
// the order of their keys, and each is ordered by the rest of its items' paths.
void VeskSorter::rankPaths()
{
    const std::vector<QString> &folders = m_groups.folders;
    std::vector<QString> keys(folders.size() * 2); // per folder: with a name, without one
    for (size_t f = 0; f < folders.size(); ++f) {
        const QString &folder = folders[f];
        keys[2 * f] = folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        keys[2 * f + 1] = folder;
    }
    std::vector<QString> rest(m_items.size()); // what follows the group's key
    std::vector<uint32_t> keyOfItem(m_items.size());
    std::vector<uint8_t> used(keys.size());
    for (size_t p = 0; p < m_items.size(); ++p) {
        rest[p] = m_items[p]->DB_itemFileName();
        keyOfItem[p] = 2 * m_groups.folderIds[p] + (rest[p].isEmpty() ? 1 : 0);
        used[keyOfItem[p]] = 1;
        m_absent[p] = rest[p].isEmpty() && keys[keyOfItem[p]].isEmpty();
    }
    std::vector<uint32_t> order;
    for (uint32_t k = 0; k < keys.size(); ++k)
        if (used[k])
            order.push_back(k);
    std::sort(order.begin(), order.end(),
        [&](uint32_t a, uint32_t b) { return VeskTextMatcher::compareFolded(keys[a], keys[b]) < 0; });
    std::vector<uint32_t> groupOfKey(keys.size());
    std::vector<qsizetype> groupKeyLength(keys.size());
    uint32_t groups = 0;
    for (size_t i = 0, first = 0; i < order.size(); ++i) {
        if (i == 0 || !startsWithFolded(keys[order[i]], keys[order[first]])) {
            first = i;
            ++groups;
        }
        groupOfKey[order[i]] = groups - 1;
        groupKeyLength[order[i]] = keys[order[first]].size();
    }
    // The items grouped, groups in order.
    std::vector<uint32_t> groupStart(groups + 1);
    for (uint32_t key : keyOfItem)
        ++groupStart[groupOfKey[key] + 1];
    std::partial_sum(groupStart.begin(), groupStart.end(), groupStart.begin());
    std::vector<Text> texts(m_items.size(), Text({}, 0, 0));
    std::vector<uint32_t> fill(groupStart.begin(), groupStart.end() - 1);
    for (uint32_t p = 0; p < m_items.size(); ++p) {
        const QString &key = keys[keyOfItem[p]];
        const qsizetype cut = groupKeyLength[keyOfItem[p]];
        if (cut < key.size())
            rest[p] = key.mid(cut) + rest[p];
        texts[fill[groupOfKey[keyOfItem[p]]]++] = Text(rest[p], 0, p);
    }
    uint64_t next = 0;
    for (uint32_t g = 0; g < groups; ++g)
        next = rankFolded(texts.begin() + groupStart[g], texts.begin() + groupStart[g + 1], rest, m_keys, next);
}

// Items share a few lists of bins: each list's text is ranked once.
void VeskSorter::rankBins()
{
    if (!m_binUsage) {
        std::fill(m_absent.begin(), m_absent.end(), 1);
        return;
    }
    const std::vector<uint64_t> rank = rankDistinct(m_binUsage->listTexts());
    for (size_t p = 0; p < m_items.size(); ++p) {
        const uint32_t list = m_binUsage->listOf(p);
        m_absent[p] = list == 0;
        m_keys[p] = rank[list];
    }
}

// Byte by byte, the greater UID first in ascending order.
void VeskSorter::rankUIDs(bool material)
{
    struct UID {
        std::array<uint64_t, 4> words; // big-endian, so that they compare as the bytes do
        uint32_t position;
    };
    std::vector<UID> uids;
    uids.reserve(m_items.size());
    for (uint32_t p = 0; p < m_items.size(); ++p) {
        const VeskDatabaseItem &item = *m_items[p];
        const uint8_t *bytes = (material ? item.DB_materialPackageUID() : item.DB_filePackageUID())->UMIDx.data();
        UID uid { {}, p };
        for (size_t i = 0; i < 4; ++i)
            uid.words[i] = qFromBigEndian<uint64_t>(bytes + 8 * i);
        uids.push_back(uid);
    }
    std::sort(uids.begin(), uids.end(), [](const UID &a, const UID &b) { return a.words > b.words; });
    uint64_t rank = 0;
    for (size_t i = 0; i < uids.size(); ++i) {
        if (i > 0 && uids[i].words != uids[i - 1].words)
            ++rank;
        m_keys[uids[i].position] = rank;
    }
}
