#include "VeskDuplicates.h"

#include "platform/VeskContentHash.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>

namespace {

// What grouping compares, copied out of the items once: sorting these is far cheaper
// than sorting items by fields read through their pointers.
struct Key {
    std::array<uint64_t, 4> uid;
    uint64_t size;
    uint32_t index;
    bool missing;

    bool sameUID(const Key &other) const { return uid == other.uid; }
    bool operator<(const Key &other) const
    {
        return std::tie(uid, missing, size, index) < std::tie(other.uid, other.missing, other.size, other.index);
    }
};

std::vector<Key> keysOf(const std::vector<VeskItemRef> &items)
{
    std::vector<Key> keys;
    keys.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const VeskDatabaseItem &item = *items[i];
        if (!item.DB_isGoodUUID() || item.DB_filePackageUID()->isZero())
            continue;
        Key key;
        std::memcpy(key.uid.data(), item.DB_filePackageUID()->UMIDx.data(), sizeof key.uid);
        key.missing = !item.DB_FileExists();
        key.size = key.missing ? 0 : item.DB_filesize().value_or(0);
        key.index = uint32_t(i);
        keys.push_back(key);
    }
    return keys;
}

// The groups of one UID's keys, sorted: existing copies by size, then missing ones.
void addGroupsOfUID(const std::vector<VeskItemRef> &items, const Key *begin, const Key *end,
    std::vector<std::pair<uint32_t, VeskDuplicates::Group>> &groups)
{
    const Key *missing = std::find_if(begin, end, [](const Key &key) { return key.missing; });
    std::vector<std::pair<const Key *, const Key *>> sizes;
    for (const Key *run = begin; run != missing;) {
        const Key *next = std::find_if(run, missing, [run](const Key &key) { return key.size != run->size; });
        sizes.emplace_back(run, next);
        run = next;
    }
    const bool oneSize = sizes.size() == 1;
    for (auto [first, last] : sizes) {
        if (oneSize)
            last = end; // the missing copies join
        VeskDuplicates::Group group { {}, first->size,
            oneSize ? VeskDuplicates::Problem::None : VeskDuplicates::Problem::Size };
        std::vector<uint32_t> indexes;
        for (const Key *key = first; key != last; ++key)
            indexes.push_back(key->index);
        std::sort(indexes.begin(), indexes.end());
        if (indexes.size() < 2 && oneSize)
            continue;
        for (const uint32_t index : indexes)
            group.copies.push_back(items[index]);
        groups.emplace_back(indexes.front(), std::move(group));
    }
}

bool isUnder(const QString &path, const QString &prefix)
{
    return path.startsWith(prefix)
        && (path.size() == prefix.size() || prefix.endsWith(QLatin1Char('/'))
            || path[prefix.size()] == QLatin1Char('/'));
}

// The copy with the earliest (or latest) date; the first of equal ones.
std::optional<size_t> byDate(const VeskDuplicates::Group &group, bool oldest)
{
    std::optional<size_t> chosen;
    std::optional<int64_t> chosenDate;
    for (size_t i = 0; i < group.copies.size(); ++i) {
        const std::optional<int64_t> date = group.copies[i]->DB_DateMSecs();
        if (date && (!chosenDate || (oldest ? *date < *chosenDate : *date > *chosenDate))) {
            chosen = i;
            chosenDate = date;
        }
    }
    return chosen;
}

// What reading one copy found: no file, its digest, or a failure.
struct Content {
    enum class Kind { Missing, Read, Unreadable } kind;
    QString digest;
};

bool needsHashing(const VeskDuplicates::Group &group)
{
    return group.existingCopies() > 1;
}

// The digest most copies share; of equally common ones, the first copy's.
QString commonDigest(const std::vector<Content> &contents)
{
    QHash<QString, int> counts;
    for (const Content &content : contents)
        if (content.kind == Content::Kind::Read)
            ++counts[content.digest];
    QString common;
    for (const Content &content : contents)
        if (content.kind == Content::Kind::Read && (common.isEmpty() || counts[content.digest] > counts[common]))
            common = content.digest;
    return common;
}

// The group without the copies whose content differs, then those copies as groups of
// their own: one per digest, one per unreadable copy.
void splitByContent(const VeskDuplicates::Group &group, const std::vector<Content> &contents,
    std::vector<VeskDuplicates::Group> &groups)
{
    const QString common = commonDigest(contents);
    VeskDuplicates::Group same { {}, group.size, group.problem };
    std::vector<std::pair<QString, VeskDuplicates::Group>> others;
    for (size_t i = 0; i < contents.size(); ++i) {
        const Content &content = contents[i];
        if (content.kind == Content::Kind::Missing || content.digest == common) {
            same.copies.push_back(group.copies[i]);
            continue;
        }
        const auto other = std::find_if(others.begin(), others.end(), [&content](const auto &entry) {
            return content.kind == Content::Kind::Read && entry.first == content.digest;
        });
        if (other != others.end())
            other->second.copies.push_back(group.copies[i]);
        else
            others.emplace_back(content.digest,
                VeskDuplicates::Group { { group.copies[i] }, group.size, VeskDuplicates::Problem::Content });
    }
    // A copy left alone by the others is no longer known to be a copy of anything.
    if (!others.empty() && same.copies.size() < 2)
        same.problem = VeskDuplicates::Problem::Content;
    groups.push_back(std::move(same));
    for (auto &[digest, other] : others)
        groups.push_back(std::move(other));
}

} // namespace

uint64_t VeskDuplicates::Group::existingCopies() const
{
    return uint64_t(
        std::count_if(copies.begin(), copies.end(), [](const VeskItemRef &item) { return item->DB_FileExists(); }));
}

std::optional<VeskDuplicates::KeepRule> VeskDuplicates::KeepRule::parse(const QString &text)
{
    if (text == QLatin1String("oldest"))
        return KeepRule { Kind::Oldest, {} };
    if (text == QLatin1String("newest"))
        return KeepRule { Kind::Newest, {} };
    if (text == QLatin1String("first"))
        return KeepRule { Kind::First, {} };
    const QLatin1String under("under:");
    if (text.startsWith(under) && text.size() > under.size())
        return KeepRule { Kind::Under, text.mid(under.size()) };
    return std::nullopt;
}

std::vector<VeskDuplicates::Group> VeskDuplicates::find(const std::vector<VeskItemRef> &items)
{
    std::vector<Key> keys = keysOf(items);
    std::sort(keys.begin(), keys.end());
    std::vector<std::pair<uint32_t, Group>> found;
    for (auto run = keys.begin(); run != keys.end();) {
        const auto next = std::find_if(run, keys.end(), [&run](const Key &key) { return !key.sameUID(*run); });
        if (next - run > 1)
            addGroupsOfUID(items, &*run, &*run + (next - run), found);
        run = next;
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<Group> groups;
    groups.reserve(found.size());
    for (auto &[first, group] : found)
        groups.push_back(std::move(group));
    return groups;
}

VeskDuplicates::Totals VeskDuplicates::totals(const std::vector<Group> &groups)
{
    Totals totals;
    for (const Group &group : groups) {
        ++totals.groups;
        totals.copies += group.copies.size();
        totals.extraSize += group.extraSize();
    }
    return totals;
}

QString VeskDuplicates::problemText(Problem problem)
{
    switch (problem) {
    case Problem::Size: return QStringLiteral("size");
    case Problem::Content: return QStringLiteral("content");
    case Problem::None: break;
    }
    return {};
}

std::optional<size_t> VeskDuplicates::kept(const Group &group, const KeepRule &rule)
{
    if (group.copies.empty())
        return std::nullopt;
    switch (rule.kind) {
    case KeepRule::Kind::Oldest: return byDate(group, true);
    case KeepRule::Kind::Newest: return byDate(group, false);
    case KeepRule::Kind::First: return 0;
    case KeepRule::Kind::Under: break;
    }
    for (size_t i = 0; i < group.copies.size(); ++i)
        if (isUnder(group.copies[i]->DB_itemPath(), rule.prefix))
            return i;
    return std::nullopt;
}

std::vector<VeskItemRef> VeskDuplicates::extras(const Group &group, const KeepRule &rule)
{
    const std::optional<size_t> keep = kept(group, rule);
    if (!keep || !group.copies[*keep]->DB_FileExists())
        return {};
    std::vector<VeskItemRef> chosen;
    for (size_t i = 0; i < group.copies.size(); ++i)
        if (i != *keep && group.copies[i]->DB_FileExists())
            chosen.push_back(group.copies[i]);
    return chosen;
}

std::optional<std::vector<VeskDuplicates::Group>> VeskDuplicates::confirmByContent(
    const std::vector<Group> &groups, const Progress &progress, QStringList *errors)
{
    uint64_t total = 0;
    for (const Group &group : groups)
        total += needsHashing(group) ? group.size * group.existingCopies() : 0;
    uint64_t done = 0;
    bool stopped = false;
    const auto fileProgress = [&](int64_t bytes) {
        stopped = progress && !progress(done + uint64_t(bytes), total);
        return !stopped;
    };
    std::vector<Group> confirmed;
    for (const Group &group : groups) {
        if (!needsHashing(group)) {
            confirmed.push_back(group);
            continue;
        }
        std::vector<Content> contents;
        for (const VeskItemRef &copy : group.copies) {
            if (!copy->DB_FileExists()) {
                contents.push_back({ Content::Kind::Missing, {} });
                continue;
            }
            QString error;
            const std::optional<QString> digest
                = VeskContentHash::ofFile(copy->DB_itemPath(), false, fileProgress, &error);
            if (stopped)
                return std::nullopt;
            if (!digest && errors)
                errors->push_back(QStringLiteral("%1: %2").arg(copy->DB_itemPath(), error));
            contents.push_back(
                { digest ? Content::Kind::Read : Content::Kind::Unreadable, digest.value_or(QString()) });
            done += group.size;
        }
        splitByContent(group, contents, confirmed);
    }
    return confirmed;
}
