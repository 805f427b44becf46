#include "model/VeskCore.h"

#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"
#include "model/VeskCellTexts.h"
#include "model/VeskColumns.h"
#include "model/VeskFilter.h"
#include "model/VeskPasteboard.h"
#include "model/VeskRBTree.h"
#include "model/VeskTableView.h"
#include "model/VeskTextMatcher.h"
#include "platform/VeskSettings.h"
#include "report/VeskFileSize.h"

#include <QFileInfo>
#include <QHash>
#include <QVarLengthArray>

#include <algorithm>
#include <map>
#include <numeric>
#include <thread>

namespace {

int showOnlyExistingFiles()
{
    return VeskSettings::shared().integerForKey(QStringLiteral("ShowOnlyExistingFiles"));
}

// A file an action has moved away or deleted keeps its size on the item, but no
// longer counts in the totals, like a file the scan found missing.
uint64_t sizeOnDisk(const VeskDatabaseItem &item)
{
    return item.DB_FileExists() ? item.DB_filesize().value_or(0) : 0;
}

std::vector<uint32_t> identity(size_t count)
{
    std::vector<uint32_t> positions(count);
    std::iota(positions.begin(), positions.end(), 0u);
    return positions;
}

} // namespace

// The search text compared once per distinct project and folder.
struct VeskCore::Search {
    const VeskFilter *filter = nullptr;
    std::optional<VeskTextMatcher> matcher;
    std::vector<uint8_t> projectMatches;
    std::vector<uint8_t> folderMatches;
    bool flags = false;
};

VeskCore &VeskCore::sharedCore()
{
    static VeskCore *const core = new VeskCore;
    return *core;
}

VeskCore::VeskCore()
{
    VeskFilter::sharedFilter().ResetFilter();
}

void VeskCore::publish(const std::function<void()> &change)
{
    VeskMainThread::run(change, true);
}

// Between two main-thread steps the user may act on the highlighted rows: they must
// show the items the store would hand out for them.
void VeskCore::publishShown(const std::function<void()> &change)
{
    publish([this, &change] {
        change();
        if (m_databaseTable)
            m_databaseTable->reloadData();
    });
}

void VeskCore::reload(VeskTableView *table) const
{
    if (table)
        VeskMainThread::run([table] { table->reloadData(); }, true);
}

void VeskCore::clear()
{
    discardIntake();
    clearItems();
}

void VeskCore::discardIntake()
{
    QMutexLocker locker(&m_coreLock);
    m_intake.clear();
}

uint64_t VeskCore::intakeCount()
{
    QMutexLocker locker(&m_coreLock);
    return m_intake.size();
}

// A scan's thread lets the old lists go itself: a million items take a while to free.
void VeskCore::clearItems()
{
    std::vector<VeskItemRef> items;
    std::vector<uint32_t> filtered, sorted;
    VeskItemGroups groups;
    VeskBinUsage usage;
    publishShown([&] {
        m_items.swap(items);
        m_filtered.swap(filtered);
        m_sorted.swap(sorted);
        std::swap(m_groups, groups);
        std::swap(m_binUsage, usage);
        m_filteredItemsSize = 0;
        m_selectedItemsSize = 0;
        m_hiddenMissingCount = 0;
        m_projects.clear();
    });
    VeskFilter::sharedFilter().ResetFilter();
}

void VeskCore::AddItem(const VeskItemRef &item)
{
    if (item)
        AddItemsFromArray({ item });
}

void VeskCore::AddItemsFromArray(const std::vector<VeskItemRef> &items)
{
    for (const VeskItemRef &item : items)
        if (item)
            m_intake.push_back(item);
}

void VeskCore::addScannedItems(const std::vector<VeskItemRef> &items)
{
    QMutexLocker locker(&m_coreLock);
    AddItemsFromArray(items);
}

void VeskCore::adoptIntake()
{
    if (std::optional<std::vector<VeskItemRef>> items = itemsWithIntake())
        setItems(std::move(*items));
}

// The item list with the items handed in since the last rebuild; none when none were.
std::optional<std::vector<VeskItemRef>> VeskCore::itemsWithIntake()
{
    std::vector<VeskItemRef> intake;
    {
        QMutexLocker locker(&m_coreLock);
        intake.swap(m_intake);
    }
    if (intake.empty())
        return std::nullopt;
    std::vector<VeskItemRef> items;
    items.reserve(m_items.size() + intake.size());
    items.insert(items.end(), m_items.begin(), m_items.end());
    items.insert(items.end(), std::make_move_iterator(intake.begin()), std::make_move_iterator(intake.end()));
    return items;
}

// A new item list invalidates every position: the index lists are emptied until the
// next rebuild fills them.
void VeskCore::setItems(std::vector<VeskItemRef> items)
{
    VeskItemGroups groups(items);
    publishShown([&] {
        m_items.swap(items);
        std::swap(m_groups, groups);
        m_binUsage = {};
        m_sorted.clear();
        m_filtered.clear();
    });
    // The old lists (a million references) are let go here, not on the main thread.
}

// Items equal by UID and by a non-empty path are one file seen twice: the first one
// handed in stays. The list comes out ordered by UID words 4 and 5, then by path,
// items without a path last; ties keep the order they came in.
void VeskCore::makeUnique()
{
    std::vector<VeskItemRef> items = itemsWithIntake().value_or(m_items);
    if (items.empty())
        return;
    struct Key {
        uint64_t uid;
        uint32_t position;
    };
    std::vector<Key> keys;
    keys.reserve(items.size());
    for (uint32_t position = 0; position < items.size(); ++position) {
        const VeskUUID &uid = *items[position]->DB_filePackageUID();
        keys.push_back({ (uint64_t(uid.word(4)) << 32) | uid.word(5), position });
    }
    std::sort(keys.begin(), keys.end(),
        [](const Key &a, const Key &b) { return a.uid != b.uid ? a.uid < b.uid : a.position < b.position; });
    std::vector<VeskItemRef> unique;
    unique.reserve(items.size());
    std::vector<uint32_t> run;
    for (size_t start = 0, end = 0; start < keys.size(); start = end) {
        run.clear();
        for (end = start; end < keys.size() && keys[end].uid == keys[start].uid; ++end)
            run.push_back(keys[end].position);
        keepFirstOfEachPath(items, run, unique);
    }
    setItems(std::move(unique));
}

// One UID's items, in the order they came in: by path, the first of each path kept.
void VeskCore::keepFirstOfEachPath(
    const std::vector<VeskItemRef> &items, const std::vector<uint32_t> &run, std::vector<VeskItemRef> &unique)
{
    if (run.size() == 1) {
        unique.push_back(items[run.front()]);
        return;
    }
    std::vector<std::pair<QString, uint32_t>> paths;
    for (uint32_t position : run)
        paths.emplace_back(items[position]->DB_itemPath(), position);
    std::stable_sort(paths.begin(), paths.end(), [](const auto &a, const auto &b) {
        return a.first.isEmpty() || b.first.isEmpty() ? b.first.isEmpty() && !a.first.isEmpty() : a.first < b.first;
    });
    for (size_t i = 0; i < paths.size(); ++i) {
        if (i > 0 && !paths[i].first.isEmpty() && paths[i].first == paths[i - 1].first) {
            VESK_LOG(QStringLiteral("**** Warning **** comparing items ::EQ item found \n:: %1 is equal to :: %2")
                         .arg(paths[i].first, paths[i - 1].first));
            continue;
        }
        unique.push_back(items[paths[i].second]);
    }
}

QString VeskCore::unknownReferenceSummary() const
{
    using State = VeskDatabaseItem::ReferenceState;
    std::map<State, uint64_t> counts;
    for (const VeskItemRef &item : m_items)
        if (item->DB_referenceState() != State::Known)
            ++counts[item->DB_referenceState()];
    if (counts.empty())
        return {};
    uint64_t total = 0;
    QStringList reasons;
    for (const auto &[state, count] : counts) {
        total += count;
        reasons.push_back(QStringLiteral("%1: %2").arg(VeskDatabaseItem::referenceStateText(state)).arg(count));
    }
    return QStringLiteral("%1 items of unknown reference, never counted as unreferenced (%2)")
        .arg(total)
        .arg(reasons.join(QStringLiteral(", ")));
}

void VeskCore::LoadDefaults()
{
    adoptIntake();
    if (const QString unknown = unknownReferenceSummary(); !unknown.isEmpty())
        VESK_LOG(unknown);
    VeskFilter::sharedFilter().ResetFilter();
    ValidateAllItems();
    SortDefault();
    prepareProjectsSummary();
    setFilterFlagProjects(true);
    applyFilter();
    if (VeskTableView *table = m_databaseTable)
        VeskMainThread::run([table] { table->deselectAll(); }, true);
}

VeskCore::Search VeskCore::makeSearch(const VeskFilter &filter) const
{
    Search search;
    search.filter = &filter;
    search.flags = filter.hasKindOrProblemFlags();
    if (!filter.hasSearch())
        return search;
    search.matcher.emplace(filter.filterString());
    for (const QString &name : m_groups.projectNames)
        search.projectMatches.push_back(search.matcher->matches(name));
    for (const QString &folder : m_groups.folders)
        search.folderMatches.push_back(search.matcher->matches(folder));
    return search;
}

// itemPassFilter for the item at a position, with the search answered per project and
// folder once. A path is its folder, "/" and the file name: what the folder alone does
// not hold can only match from its last characters on.
bool VeskCore::passes(uint32_t position, const Search &search) const
{
    const VeskDatabaseItem &item = *m_items[position];
    const VeskFilter &filter = *search.filter;
    if (search.flags && !filter.passesKindTest(item))
        return false;
    if (search.matcher && !matchesSearch(position, search))
        return false;
    return !search.flags || filter.passesProblemTest(item);
}

bool VeskCore::matchesSearch(uint32_t position, const Search &search) const
{
    const uint32_t folderId = m_groups.folderIds[position];
    if (search.projectMatches[m_groups.projectIds[position]] || search.folderMatches[folderId])
        return true;
    const VeskTextMatcher &matcher = *search.matcher;
    const QString &folder = m_groups.folders[folderId];
    return m_items[position]->visitNames([&](QStringView nameInBin, QStringView clipName, QStringView fileName) {
        // The clip name is most often the file name itself, which the path holds.
        const bool clipIsFileName = clipName.data() == fileName.data() && clipName.size() == fileName.size();
        if (matcher.matches(nameInBin) || (!clipIsFileName && matcher.matches(clipName)) || matcher.matches(fileName))
            return true;
        // What neither the folder nor the file name holds can only match across the seam
        // between them: the folder's last characters, "/" and the name's first ones.
        const qsizetype reach = matcher.size() - 1;
        QVarLengthArray<QChar, 64> seam;
        seam.append(folder.constData() + qMax<qsizetype>(0, folder.size() - reach), qMin(folder.size(), reach));
        if (!folder.isEmpty() && !fileName.isEmpty() && !folder.endsWith(QLatin1Char('/')))
            seam.append(QLatin1Char('/'));
        seam.append(fileName.data(), qMin(fileName.size(), reach));
        return matcher.matches(QStringView(seam.constData(), seam.size()));
    });
}

void VeskCore::applyValidityRule(VeskDatabaseItem &item, int showOnlyExisting) const
{
    item.setDB_isValid(item.DB_isValid_initial());
    if (showOnlyExisting == 0 && !item.DB_FileExists())
        item.setDB_isValid(true);
}

void VeskCore::ValidateAllItems()
{
    validateAllItems(VeskFilter::sharedFilter());
}

void VeskCore::validateAllItems(const VeskFilter &filter)
{
    const int showOnlyExisting = showOnlyExistingFiles();
    const Search search = makeSearch(filter);
    uint64_t missing = 0;
    for (uint32_t position = 0; position < m_items.size(); ++position) {
        VeskDatabaseItem &item = *m_items[position];
        missing += !item.DB_FileExists();
        item.setDB_isValid(false);
        if (passes(position, search))
            applyValidityRule(item, showOnlyExisting);
    }
    publish([this, missing, showOnlyExisting] { m_hiddenMissingCount = showOnlyExisting == 1 ? missing : 0; });
}

void VeskCore::updateGoneItems(const std::vector<VeskItemRef> &items)
{
    const int showOnlyExisting = showOnlyExistingFiles();
    for (const VeskItemRef &item : items)
        if (item && !item->DB_FileExists())
            applyValidityRule(*item, showOnlyExisting);
    if (showOnlyExisting == 1)
        m_hiddenMissingCount = uint64_t(std::count_if(
            m_items.begin(), m_items.end(), [](const VeskItemRef &item) { return !item->DB_FileExists(); }));
}

// By project name, then file name, as plain text; the item list itself is reordered.
void VeskCore::SortDefault()
{
    if (m_items.empty())
        return;
    const std::vector<QString> &names = m_groups.projectNames;
    std::vector<uint32_t> rank(names.size());
    std::vector<uint32_t> byName = identity(names.size());
    std::sort(byName.begin(), byName.end(), [&](uint32_t a, uint32_t b) { return names[a] < names[b]; });
    for (uint32_t i = 0; i < byName.size(); ++i)
        rank[byName[i]] = i;
    std::vector<QString> clipNames;
    clipNames.reserve(m_items.size());
    for (const VeskItemRef &item : m_items)
        clipNames.push_back(item->DB_ClipName());
    std::vector<uint32_t> order = identity(m_items.size());
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const uint32_t rankA = rank[m_groups.projectIds[a]];
        const uint32_t rankB = rank[m_groups.projectIds[b]];
        return rankA != rankB ? rankA < rankB : clipNames[a] < clipNames[b];
    });
    std::vector<VeskItemRef> items;
    items.reserve(order.size());
    for (uint32_t position : order)
        items.push_back(m_items[position]);
    VeskItemGroups groups = m_groups.reordered(order);
    std::vector<uint32_t> sorted = identity(items.size());
    std::vector<uint32_t> shown = m_filtered.empty() ? sorted : std::vector<uint32_t>();
    publishShown([&] {
        // The lists are built, and the old ones let go, on this thread.
        m_items.swap(items);
        std::swap(m_groups, groups);
        m_sorted.swap(sorted);
        if (m_filtered.empty())
            m_filtered.swap(shown);
    });
}

void VeskCore::sortUsingDescriptors(const std::vector<VeskSortDescriptor> &descriptors)
{
    if (descriptors.empty())
        return;
    if (std::optional<std::vector<uint32_t>> sorted = sortedList(descriptors))
        setSortedList(std::move(*sorted));
}

std::optional<std::vector<uint32_t>> VeskCore::sortedList(
    const std::vector<VeskSortDescriptor> &descriptors, const Cancel *cancel) const
{
    std::vector<uint32_t> sorted = m_sorted;
    if (!VeskSorter(m_items, m_groups, showOnlyExistingFiles(), &m_binUsage)
             .sortUsingDescriptors(sorted, descriptors, cancel))
        return std::nullopt;
    return sorted;
}

void VeskCore::setSortedList(std::vector<uint32_t> sorted)
{
    if (sorted.size() == m_items.size())
        publish([&] { m_sorted.swap(sorted); }); // the old list is let go on this thread
}

void VeskCore::sortDescriptorsDidChange(VeskTableView *table, const std::vector<VeskSortDescriptor> &descriptors)
{
    if (!table || table->identifier() != VeskTableID::Database)
        return;
    sortUsingDescriptors(descriptors);
    applyFilter();
    if (table != m_databaseTable)
        reload(table);
}

void VeskCore::applyFilter()
{
    if (m_items.empty() || m_sorted.empty())
        return;
    if (std::optional<ShownList> shown = filteredList(filterState(), m_sorted))
        setShownList(std::move(*shown));
}

VeskCore::FilterState VeskCore::filterState() const
{
    QHash<QString, bool> checked;
    for (const VeskProjectRef &project : m_projects)
        checked.insert(project->name(), project->mustBeShownInList());
    FilterState state { VeskFilter::sharedFilter(), std::vector<uint8_t>(m_groups.projectNames.size()) };
    for (size_t id = 0; id < state.projectShown.size(); ++id)
        state.projectShown[id] = checked.value(m_groups.projectNames[id], false);
    return state;
}

// Over many items the two halves of the list are filtered side by side.
std::optional<VeskCore::ShownList> VeskCore::filteredList(
    const FilterState &state, const std::vector<uint32_t> &sorted, const Cancel *cancel, bool recount) const
{
    const Search search = makeSearch(state.filter);
    const size_t half = sorted.size() < kSplitFrom ? sorted.size() : sorted.size() / 2;
    std::optional<ShownList> second;
    std::thread other;
    if (half < sorted.size())
        other
            = std::thread([&] { second = filteredRange(state, search, sorted, half, sorted.size(), cancel, recount); });
    std::optional<ShownList> shown = filteredRange(state, search, sorted, 0, half, cancel, recount);
    if (other.joinable())
        other.join();
    if (!shown || (half < sorted.size() && !second))
        return std::nullopt;
    if (second) {
        shown->positions.insert(shown->positions.end(), second->positions.begin(), second->positions.end());
        shown->size += second->size;
        if (recount)
            shown->projects->add(*second->projects);
    }
    return shown;
}

// Items of projects not shown are only looked at when they are counted.
std::optional<VeskCore::ShownList> VeskCore::filteredRange(const FilterState &state, const Search &search,
    const std::vector<uint32_t> &sorted, size_t begin, size_t end, const Cancel *cancel, bool recount) const
{
    ShownList shown;
    shown.positions.reserve(end - begin);
    if (recount)
        shown.projects = emptyProjectCounts();
    const bool searching = search.matcher.has_value();
    for (size_t i = begin; i < end; ++i) {
        if (isCancelled(cancel, i))
            return std::nullopt;
        // Items lie all over memory: asking early for those a few steps ahead overlaps
        // the waits for them.
        if (i + kPrefetchAhead < end)
            m_items[sorted[i + kPrefetchAhead]]->prefetchFilterFields(searching);
        if (searching && i + kPrefetchAhead / 2 < end)
            m_items[sorted[i + kPrefetchAhead / 2]]->prefetchSearchedTexts();
        const uint32_t position = sorted[i];
        const VeskDatabaseItem &item = *m_items[position];
        const uint32_t project = m_groups.projectIds[position];
        const bool projectShown = state.projectShown[project];
        if (!item.DB_isValid() || !(projectShown || recount) || !passes(position, search))
            continue;
        const uint64_t size = sizeOnDisk(item);
        if (recount) {
            shown.projects->sizes[project] += size;
            ++shown.projects->counts[project];
        }
        if (projectShown) {
            shown.positions.push_back(position);
            shown.size += size;
        }
    }
    return shown;
}

VeskCore::ProjectCounts VeskCore::emptyProjectCounts() const
{
    const size_t projects = m_groups.projectNames.size();
    return { std::vector<uint64_t>(projects), std::vector<uint32_t>(projects) };
}

void VeskCore::ProjectCounts::add(const ProjectCounts &other)
{
    for (size_t id = 0; id < sizes.size() && id < other.sizes.size(); ++id) {
        sizes[id] += other.sizes[id];
        counts[id] += other.counts[id];
    }
}

bool VeskCore::isCancelled(const Cancel *cancel, size_t step)
{
    return cancel && step % 65536 == 0 && cancel->load(std::memory_order_relaxed);
}

void VeskCore::setShownList(ShownList shown)
{
    publishShown([&] {
        m_filtered.swap(shown.positions); // the old list is let go on this thread
        m_filteredItemsSize = shown.size;
    });
}

void VeskCore::prepareProjectsSummary()
{
    if (m_items.empty())
        return;
    if (std::optional<ProjectCounts> counts = projectCounts(VeskFilter::sharedFilter()))
        setProjectCounts(*counts);
}

std::optional<VeskCore::ProjectCounts> VeskCore::projectCounts(const VeskFilter &filter, const Cancel *cancel) const
{
    ProjectCounts counts = emptyProjectCounts();
    const Search search = makeSearch(filter);
    for (uint32_t position = 0; position < m_items.size(); ++position) {
        if (isCancelled(cancel, position))
            return std::nullopt;
        const VeskDatabaseItem &item = *m_items[position];
        if (!item.DB_isValid() || !passes(position, search))
            continue;
        counts.sizes[m_groups.projectIds[position]] += sizeOnDisk(item);
        ++counts.counts[m_groups.projectIds[position]];
    }
    return counts;
}

// The project records keep their check states; their numbers change with the list, in
// the same main-thread step.
void VeskCore::setProjectCounts(const ProjectCounts &counts)
{
    const std::vector<QString> &names = m_groups.projectNames;
    if (counts.counts.size() != names.size())
        return;
    publish([&] {
        QHash<QString, VeskProjectRef> records;
        for (const VeskProjectRef &project : m_projects) {
            project->setSizeValue(0);
            project->setFilesCount(0);
            records.insert(project->name(), project);
        }
        for (size_t id = 0; id < names.size(); ++id) {
            if (counts.counts[id] == 0)
                continue;
            VeskProjectRef &record = records[names[id]];
            if (!record) {
                record = std::make_shared<VeskProject>();
                record->setName(names[id]);
                record->setMustBeShownInList(true);
            }
            record->setSizeValue(record->SizeValue() + counts.sizes[id]);
            record->setFilesCount(record->FilesCount() + counts.counts[id]);
        }
        std::vector<VeskProjectRef> projects(records.begin(), records.end());
        std::stable_sort(projects.begin(), projects.end(), [](const VeskProjectRef &a, const VeskProjectRef &b) {
            return QString::compare(a->name(), b->name(), Qt::CaseInsensitive) < 0;
        });
        m_projects = std::move(projects);
    });
}

void VeskCore::setFilterFlagProjects(bool value)
{
    setAllProjectsShown(value);
    applyFilter();
    reload(m_databaseSummaryTable);
}

void VeskCore::setAllProjectsShown(bool value)
{
    for (const VeskProjectRef &project : m_projects)
        project->setMustBeShownInList(value);
}

void VeskCore::setCheckStateProject(uint64_t row, bool value)
{
    if (const VeskProjectRef project = projectAtIndex(row))
        project->setMustBeShownInList(value);
    applyFilter();
    reload(m_databaseSummaryTable);
}

// Calls visit(item) for every item, in sorted order of insertion into the UID tree,
// that is equal by UID to one of the probes and passes the current filter. Every item
// equal to a probe, shown or not, is recorded as used by the probe's bin.
template <typename Visit>
void VeskCore::forEachProbeMatch(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins, Visit visit)
{
    VeskRBTree<VeskDatabaseItem> tree;
    tree.setEQBlock([](const VeskDatabaseItem &a, const VeskDatabaseItem &b) { return a.isEqualByUUID(&b); });
    tree.setLTBlock([](const VeskDatabaseItem &a, const VeskDatabaseItem &b) { return a.isLessByUUID(&b); });
    for (uint32_t position : m_sorted)
        tree.TreeInsertNode(m_items[position]);
    const VeskFilter &filter = VeskFilter::sharedFilter();
    std::vector<VeskBinUsage::Hit> hits;
    uint32_t bin = 0;
    for (size_t i = 0; i < probes.size(); ++i) {
        while (bin < bins.ends.size() && i >= bins.ends[bin])
            ++bin;
        if (!probes[i])
            continue;
        for (VeskItemRef item = tree.TreefindNode(*probes[i]); item; item = tree.TreefindNextEQ()) {
            if (bin < bins.ends.size())
                hits.push_back({ item.get(), bin });
            if (filter.itemPassFilter(item.get()))
                visit(*item);
        }
    }
    if (bins.paths.isEmpty())
        return;
    VeskBinUsage usage = m_binUsage;
    usage.record(m_items, bins, std::move(hits));
    publish([&] { m_binUsage = std::move(usage); });
}

// Showing only what no probe matches: bins without references leave nothing shown.
void VeskCore::applyFilter(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins)
{
    if (m_items.empty() || m_sorted.empty())
        return;
    const int showOnlyExisting = showOnlyExistingFiles();
    for (uint32_t position : m_sorted)
        m_items[position]->setDB_isValid(false);
    forEachProbeMatch(probes, bins, [&](VeskDatabaseItem &item) { applyValidityRule(item, showOnlyExisting); });
    applyFilter();
}

void VeskCore::applyFilterSubtract(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins)
{
    if (probes.empty() || m_items.empty() || m_sorted.empty())
        return;
    forEachProbeMatch(probes, bins, [](VeskDatabaseItem &item) { item.setDB_isValid(false); });
    applyFilter();
}

void VeskCore::applyFilterAdd(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins)
{
    if (probes.empty() || m_items.empty() || m_sorted.empty())
        return;
    const int showOnlyExisting = showOnlyExistingFiles();
    forEachProbeMatch(probes, bins, [&](VeskDatabaseItem &item) { applyValidityRule(item, showOnlyExisting); });
    applyFilter();
}

VeskItemRef VeskCore::ObjectAtIndexFiltered(uint64_t row) const
{
    if (row >= m_filtered.size())
        return nullptr;
    return m_items[m_filtered[row]];
}

VeskProjectRef VeskCore::projectAtIndex(uint64_t row) const
{
    return row < m_projects.size() ? m_projects[row] : nullptr;
}

QString VeskCore::getExistentURLatIndex(uint64_t row) const
{
    const VeskItemRef item = ObjectAtIndexFiltered(row);
    return item && item->DB_FileExists() ? item->DB_itemPath() : QString();
}

std::vector<VeskItemRef> VeskCore::shownItems() const
{
    std::vector<VeskItemRef> items;
    items.reserve(m_filtered.size());
    for (const uint32_t position : m_filtered)
        items.push_back(m_items[position]);
    return items;
}

std::optional<std::vector<VeskItemRef>> VeskCore::getSelectedItemsArray() const
{
    if (!m_databaseTable)
        return std::nullopt;
    const std::vector<uint64_t> rows = m_databaseTable->selectedRows();
    if (rows.empty())
        return std::nullopt;
    std::vector<VeskItemRef> items;
    for (uint64_t row : rows)
        if (VeskItemRef item = ObjectAtIndexFiltered(row))
            items.push_back(std::move(item));
    return items;
}

void VeskCore::calculateSelectedSize()
{
    if (!m_databaseTable)
        return;
    uint64_t size = 0;
    for (uint64_t row : m_databaseTable->selectedRows())
        if (const VeskItemRef item = ObjectAtIndexFiltered(row))
            size += sizeOnDisk(*item);
    m_selectedItemsSize = size;
}

void VeskCore::tableViewSelectionDidChange(VeskTableView *table)
{
    if (!table || table->identifier() != VeskTableID::Database)
        return;
    calculateSelectedSize();
    reload(m_databaseSummaryTable);
    if (!m_databaseTable)
        return;
    const int64_t row = m_databaseTable->selectedRow();
    if (row < 0) {
        m_databaseTable->setLastitem(nullptr);
        return;
    }
    const VeskItemRef item = ObjectAtIndexFiltered(uint64_t(row));
    m_databaseTable->setLastitem(item);
    m_databaseTable->updatePreviewWith(item);
}

bool VeskCore::writeRowsWithIndexes(VeskTableView *table, const std::vector<uint64_t> &rows, VeskPasteboard &pasteboard)
{
    if (!table || table->identifier() != VeskTableID::Database)
        return false;
    QStringList paths;
    for (uint64_t row : rows) {
        const QString path = getExistentURLatIndex(row);
        if (!path.isEmpty())
            paths.push_back(path);
    }
    const bool wroteURLs = pasteboard.writeFileURLs(paths);
    QStringList names;
    for (const QString &path : paths)
        names.push_back(QFileInfo(path).fileName());
    const QString text = names.join(QLatin1Char('\r'));
    if (text.isEmpty())
        return wroteURLs;
    const QString type = QStringLiteral("text/plain;charset=utf-8");
    pasteboard.addType(type);
    return wroteURLs && pasteboard.setString(text, type);
}

uint64_t VeskCore::numberOfRowsInTableView(const QString &tableId) const
{
    if (tableId == VeskTableID::Database)
        return getFilteredIndexesCount();
    if (tableId == VeskTableID::ProjectSummary || tableId == VeskTableID::ProjectFilter)
        return getProjectsCount();
    return tableId == VeskTableID::DatabaseSummary ? 1 : 0;
}

std::optional<QString> VeskCore::summaryText(VeskColumnID column) const
{
    const auto count = [](uint64_t n) { return QString::number(n); };
    switch (column) {
    case VeskColumnID::ItemsInDatabase: return count(getAllItemsCount());
    case VeskColumnID::ProjectsCount: return count(getProjectsCount());
    case VeskColumnID::FilteredItems: return count(getFilteredIndexesCount());
    case VeskColumnID::SelectedItems: return count(m_databaseTable ? m_databaseTable->selectedRows().size() : 0);
    case VeskColumnID::FilteredSize: return VeskFileSize::toHumanBytes(double(m_filteredItemsSize));
    case VeskColumnID::SelectedSize: return VeskFileSize::toHumanBytes(double(m_selectedItemsSize));
    default: return std::nullopt;
    }
}

QString VeskCore::viewForTableColumn(const QString &tableId, const QString &columnId, uint64_t row) const
{
    return viewForTableColumn(tableId, VeskColumns::columnID(columnId), row);
}

QString VeskCore::viewForTableColumn(const QString &tableId, VeskColumnID column, uint64_t row) const
{
    std::optional<QString> text;
    if (tableId == VeskTableID::Database) {
        text = itemText(row, column, VeskCellTexts::Use::Screen);
    } else if (tableId == VeskTableID::DatabaseSummary) {
        text = summaryText(column);
    } else if (const VeskProjectRef project = projectAtIndex(row)) {
        text = VeskCellTexts::projectText(*project, tableId, column);
    }
    return text.value_or(novalue());
}

std::optional<QString> VeskCore::NSStringValueForTableColumn(
    const QString &tableId, const QString &columnId, uint64_t row) const
{
    const VeskColumnID column = VeskColumns::columnID(columnId);
    if (tableId == VeskTableID::Database)
        return itemText(row, column, VeskCellTexts::Use::Export);
    if (tableId == VeskTableID::ProjectSummary) {
        const VeskProjectRef project = projectAtIndex(row);
        return project ? VeskCellTexts::projectText(*project, tableId, column) : std::nullopt;
    }
    return std::nullopt;
}

// Which bins use an item is kept beside the items, by position.
std::optional<QString> VeskCore::itemText(uint64_t row, VeskColumnID column, VeskCellTexts::Use use) const
{
    if (row >= m_filtered.size())
        return std::nullopt;
    if (column == VeskColumnID::UsedByBins)
        return m_binUsage.text(m_filtered[row]);
    return VeskCellTexts::itemText(*m_items[m_filtered[row]], column, m_nameTables, use);
}

ExportTable VeskCore::exportTable(const QString &tableId, const QString &windowTitle) const
{
    ExportTable table { tableId, windowTitle, {}, {}, numberOfRowsInTableView(tableId) };
    const std::vector<VeskColumn> &columns
        = tableId == VeskTableID::Database ? VeskColumns::databaseColumns() : VeskColumns::projectSummaryColumns();
    for (const VeskColumn &column : columns) {
        table.columnIds.push_back(column.identifier);
        table.columnTitles.push_back(column.title);
    }
    return table;
}
