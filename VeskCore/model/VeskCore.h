#pragma once

#include "model/VeskBinUsage.h"
#include "model/VeskCellTexts.h"
#include "model/VeskColumns.h"
#include "model/VeskDatabaseItem.h"
#include "model/VeskFilter.h"
#include "model/VeskItemGroups.h"
#include "model/VeskItemIntake.h"
#include "model/VeskNameTables.h"
#include "model/VeskProject.h"
#include "model/VeskSorter.h"
#include "report/ExportMenuTexts.h"

#include <QMutex>
#include <QString>

#include <atomic>
#include <optional>
#include <vector>

class VeskPasteboard;
class VeskTableView;
class VeskTextMatcher;

/// The media database: every item of the scans, de-duplicated, with the current sort
/// order and the shown (filtered) list as positions into the item list, the project
/// summary and the selection sizes. It is the data source of the database table, the
/// two project tables and the one-row summary table.
///
/// Scanner threads hand in items under theCoreLock(); they wait in an intake list
/// until the next makeUnique or LoadDefaults takes them in. The lists that tables
/// read are only ever replaced on the main thread, each in one step, so a rebuild
/// running on a scan thread never shows a table a half-built list.
class VeskCore : public ExportMenuProtocol, public VeskItemIntake {
public:
    static VeskCore &sharedCore();
    VeskCore();
    VeskCore(const VeskCore &) = delete;
    VeskCore &operator=(const VeskCore &) = delete;

    /// The text a screen cell shows for a missing value.
    static QString novalue() { return QStringLiteral("..."); }
    QMutex &theCoreLock() { return m_coreLock; }
    const VeskNameTables &nameTables() const override { return m_nameTables; }

    // Intake and rebuilds.
    void clear();
    /// Empties the item lists; items handed in since the last rebuild stay for the next.
    void clearItems();
    /// Drops the items handed in since the last rebuild.
    void discardIntake();
    /// How many items have been handed in since the last rebuild.
    uint64_t intakeCount();
    void AddItem(const VeskItemRef &item);
    /// Called by scanner operations holding theCoreLock().
    void AddItemsFromArray(const std::vector<VeskItemRef> &items);
    void addScannedItems(const std::vector<VeskItemRef> &items) override;
    void makeUnique();
    void LoadDefaults();
    void ValidateAllItems();
    /// The validity of every item under `filter`, without the bins' result.
    void validateAllItems(const VeskFilter &filter);
    void SortDefault();
    void sortUsingDescriptors(const std::vector<VeskSortDescriptor> &descriptors);
    void applyFilter();
    void prepareProjectsSummary();
    void setFilterFlagProjects(bool value);
    /// The projects' check boxes alone; the shown list follows at the next refresh.
    void setAllProjectsShown(bool value);
    void setCheckStateProject(uint64_t row, bool value);

    // The same passes in two steps, for a worker: the first reads the store and gives a
    // result, or none once `cancel` is set; the second puts the result in place on the
    // main thread. The store's lists must not change between the two.
    using Cancel = std::atomic<bool>;
    /// What filtering reads besides the store's lists, taken on the main thread.
    struct FilterState {
        VeskFilter filter;
        std::vector<uint8_t> projectShown; // per project of the item groups
    };
    struct ProjectCounts {
        std::vector<uint64_t> sizes; // per project of the item groups
        std::vector<uint32_t> counts;
        void add(const ProjectCounts &other);
    };
    struct ShownList {
        std::vector<uint32_t> positions;
        uint64_t size = 0;
        std::optional<ProjectCounts> projects; // when counted in the same pass
    };
    FilterState filterState() const;
    std::optional<std::vector<uint32_t>> sortedList(
        const std::vector<VeskSortDescriptor> &descriptors, const Cancel *cancel = nullptr) const;
    void setSortedList(std::vector<uint32_t> sorted);
    /// The shown list in the order of `sorted`; with `recount`, also the numbers of
    /// every project, shown or not, under the filter.
    std::optional<ShownList> filteredList(const FilterState &state, const std::vector<uint32_t> &sorted,
        const Cancel *cancel = nullptr, bool recount = false) const;
    void setShownList(ShownList shown);
    std::optional<ProjectCounts> projectCounts(const VeskFilter &filter, const Cancel *cancel = nullptr) const;
    void setProjectCounts(const ProjectCounts &counts);

    // Bin reference matching: probes carry file package UID words 4 and 5. With the
    // probes' bins, each item matched learns which of them reference it.
    void applyFilter(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins = {});
    void applyFilterSubtract(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins = {});
    void applyFilterAdd(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins = {});
    /// Which bins of the bin operations since the last rebuild reference each item.
    const VeskBinUsage &binUsage() const { return m_binUsage; }

    // Counts.
    uint64_t getAllItemsCount() const { return m_items.size(); }
    uint64_t getItemsCountUnfiltered() const { return getAllItemsCount(); }
    uint64_t getFilteredIndexesCount() const { return m_filtered.size(); }
    uint64_t getItemsCount() const { return getFilteredIndexesCount(); }
    uint64_t getProjectsCount() const { return m_projects.size(); }
    uint64_t FilteredItemsSize() const { return m_filteredItemsSize; }
    uint64_t SelectedItemsSize() const { return m_selectedItemsSize; }
    /// How many items' files are missing while the settings hide missing files; 0
    /// while they show them.
    uint64_t hiddenMissingCount() const { return m_hiddenMissingCount; }
    /// Items whose files an action has moved away or deleted: shown as missing, or
    /// hidden when the settings hide missing files. The shown list follows on the next
    /// filter pass.
    void updateGoneItems(const std::vector<VeskItemRef> &items);
    /// How many items have an unknown reference state and why, in one line; empty
    /// when every item's state is known.
    QString unknownReferenceSummary() const;

    // Lookups.
    VeskItemRef ObjectAtIndexFiltered(uint64_t row) const;
    VeskProjectRef projectAtIndex(uint64_t row) const;
    /// The path of the shown item at the row when its file exists; empty otherwise.
    QString getExistentURLatIndex(uint64_t row) const;
    std::optional<std::vector<VeskItemRef>> getSelectedItemsArray() const;
    /// The shown items, in the shown order.
    std::vector<VeskItemRef> shownItems() const;
    const std::vector<VeskItemRef> &ItemsUnsorted() const { return m_items; }
    const std::vector<uint32_t> &IndexesSorted() const { return m_sorted; }
    const std::vector<uint32_t> &IndexesSortedFiltered() const { return m_filtered; }

    // Tables; the views outlive the store's use of them or are unset first.
    void setDatabaseTable(VeskTableView *table) { m_databaseTable = table; }
    VeskTableView *DatabaseTable() const { return m_databaseTable; }
    void setDatabaseSummaryTable(VeskTableView *table) { m_databaseSummaryTable = table; }
    void tableViewSelectionDidChange(VeskTableView *table);
    void calculateSelectedSize();
    void sortDescriptorsDidChange(VeskTableView *table, const std::vector<VeskSortDescriptor> &descriptors);
    bool writeRowsWithIndexes(VeskTableView *table, const std::vector<uint64_t> &rows, VeskPasteboard &pasteboard);
    uint64_t numberOfRowsInTableView(const QString &tableId) const;
    /// The screen text of a cell: "..." for a missing value.
    QString viewForTableColumn(const QString &tableId, const QString &columnId, uint64_t row) const;
    QString viewForTableColumn(const QString &tableId, VeskColumnID column, uint64_t row) const;
    /// The export text of a cell, or none.
    std::optional<QString> NSStringValueForTableColumn(
        const QString &tableId, const QString &columnId, uint64_t row) const override;
    /// The columns and rows an export of the table reads, in the default column order.
    ExportTable exportTable(const QString &tableId, const QString &windowTitle) const;

private:
    struct Search;

    void publish(const std::function<void()> &change);
    /// Publishes a change of what the database table's rows show, and reloads the
    /// table in the same main-thread step.
    void publishShown(const std::function<void()> &change);
    void adoptIntake();
    std::optional<std::vector<VeskItemRef>> itemsWithIntake();
    static void keepFirstOfEachPath(
        const std::vector<VeskItemRef> &items, const std::vector<uint32_t> &run, std::vector<VeskItemRef> &unique);
    void setItems(std::vector<VeskItemRef> items);
    static constexpr size_t kPrefetchAhead = 16;
    static constexpr size_t kSplitFrom = 65536;
    std::optional<ShownList> filteredRange(const FilterState &state, const Search &search,
        const std::vector<uint32_t> &sorted, size_t begin, size_t end, const Cancel *cancel, bool recount) const;
    ProjectCounts emptyProjectCounts() const;
    static bool isCancelled(const Cancel *cancel, size_t step);
    Search makeSearch(const VeskFilter &filter) const;
    bool passes(uint32_t position, const Search &search) const;
    bool matchesSearch(uint32_t position, const Search &search) const;
    void applyValidityRule(VeskDatabaseItem &item, int showOnlyExisting) const;
    template <typename Visit>
    void forEachProbeMatch(const std::vector<VeskItemRef> &probes, const VeskProbeBins &bins, Visit visit);
    std::optional<QString> itemText(uint64_t row, VeskColumnID column, VeskCellTexts::Use use) const;
    void reload(VeskTableView *table) const;
    std::optional<QString> summaryText(VeskColumnID column) const;

    QMutex m_coreLock;
    std::vector<VeskItemRef> m_intake; // guarded by m_coreLock
    VeskNameTables m_nameTables;

    // Replaced on the main thread only.
    std::vector<VeskItemRef> m_items;
    std::vector<uint32_t> m_sorted;
    std::vector<uint32_t> m_filtered;
    std::vector<VeskProjectRef> m_projects;
    VeskItemGroups m_groups;
    VeskBinUsage m_binUsage;
    uint64_t m_filteredItemsSize = 0;
    uint64_t m_selectedItemsSize = 0;
    uint64_t m_hiddenMissingCount = 0;

    VeskTableView *m_databaseTable = nullptr;
    VeskTableView *m_databaseSummaryTable = nullptr;
};
