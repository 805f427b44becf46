#include "StoreTestSupport.h"

#include "base/VeskConsole.h"

#include <QCoreApplication>

#include <atomic>
#include <thread>

TEST_F(StoreTest, MakeUniqueKeepsTheFirstOfEachFileAndTheDefaultOrderIsProjectThenFileName)
{
    VeskConsole::sharedInstance()->Reset();
    const VeskItemRef first = item("a.mxf", "P", 1);
    const VeskItemRef again = item("a.mxf", "P", 1);
    const VeskItemRef elsewhere = item("a.mxf", "P", 1, 1, "/other");
    load({ first, item("b.mxf", "P", 2), again, elsewhere, itemWithUID(MediaIndexWriter::makeUID(8, 1, false)) });
    EXPECT_EQ(core.getAllItemsCount(), 4u);
    const std::vector<VeskItemRef> &items = core.ItemsUnsorted();
    EXPECT_NE(std::find(items.begin(), items.end(), first), items.end());
    EXPECT_EQ(std::find(items.begin(), items.end(), again), items.end());
    EXPECT_TRUE(VeskConsole::sharedInstance()->text().contains("::EQ item found"));
    // The default order: project, then file name as plain text.
    core.clear();
    load({ item("b.mxf", "beta", 1), item("a.mxf", "beta", 2), item("Z.mxf", "Alpha", 3), item("c.mxf", "Alpha", 4) });
    EXPECT_EQ(shownNames(), (QStringList { "Z.mxf", "c.mxf", "a.mxf", "b.mxf" }));
}

// Rows and projects out of range are absent, and so are selected rows past the end.
TEST_F(StoreTest, SelectionSizesAndPreviewFollowTheDatabaseTable)
{
    load({ item("a.mxf", "P", 1, 100), item("b.mxf", "P", 2, 20) });
    EXPECT_FALSE(core.ObjectAtIndexFiltered(2));
    EXPECT_FALSE(core.ObjectAtIndexFiltered(uint64_t(-1)));
    EXPECT_FALSE(core.projectAtIndex(1));
    EXPECT_FALSE(core.getSelectedItemsArray().has_value());
    table.selection = { 1, 5 };
    ASSERT_TRUE(core.getSelectedItemsArray().has_value());
    EXPECT_EQ(core.getSelectedItemsArray()->size(), 1u);
    FakeTableView summary("DatabaseSummaryID");
    core.setDatabaseSummaryTable(&summary);
    table.selection = { 0, 1 };
    core.tableViewSelectionDidChange(&table);
    EXPECT_EQ(core.SelectedItemsSize(), 120u);
    EXPECT_EQ(summary.reloads, 1);
    EXPECT_EQ(table.previewed, core.ObjectAtIndexFiltered(0));
    EXPECT_EQ(core.viewForTableColumn("DatabaseSummaryID", "Selected Items", 0), "2");
    table.selection.clear();
    core.tableViewSelectionDidChange(&table);
    EXPECT_FALSE(table.lastitem);
    core.setDatabaseSummaryTable(nullptr);
}

// The table reads rows on the main thread while a rescan's rebuild runs on another.
TEST_F(StoreTest, RowsReadDuringARebuildAreAlwaysWhole)
{
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    std::vector<VeskItemRef> items;
    for (uint64_t i = 0; i < 20000; ++i)
        items.push_back(item(QStringLiteral("clip%1.mxf").arg(i), QStringLiteral("P%1").arg(i % 7), i));
    load(items);
    std::atomic<bool> done { false };
    std::thread rebuild([&] {
        for (int round = 0; round < 3; ++round) {
            core.AddItemsFromArray(items);
            core.makeUnique();
            core.LoadDefaults();
        }
        done = true;
    });
    // No assertion may leave this function while the thread is joinable.
    uint64_t reads = 0, broken = 0;
    while (!done) {
        QCoreApplication::processEvents();
        const uint64_t rows = core.getFilteredIndexesCount();
        for (uint64_t row = 0; row < rows; row += 97, ++reads)
            broken += !core.viewForTableColumn("DatabaseTableID", "FilenameCellID", row).startsWith("clip");
    }
    rebuild.join();
    EXPECT_EQ(broken, 0u);
    EXPECT_GT(reads, 0u);
    EXPECT_EQ(core.getAllItemsCount(), 20000u);
}
