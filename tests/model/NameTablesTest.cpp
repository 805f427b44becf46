#include "model/VeskNameTables.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

VeskDatabaseItem &itemWith(uint32_t resolution, VeskRate frame, VeskRate sample = {})
{
    static std::vector<std::unique_ptr<VeskDatabaseItem>> items;
    items.push_back(std::make_unique<VeskDatabaseItem>());
    VeskDatabaseItem &item = *items.back();
    item.setDB_DIDResolutionID(resolution);
    item.setFrameRateNumerator(frame.numerator, frame.denominator);
    item.setSampleRateNumerator(sample.numerator, sample.denominator);
    return item;
}

} // namespace

TEST(NameTables, CompressionNameFallsBackToTheCode)
{
    const VeskNameTables tables;
    VeskDatabaseItem &item = itemWith(1299, {});
    EXPECT_EQ(tables.compressionNameForItem(item), std::nullopt);
    item.DB_CompressionFourCC()->UMIDx = { 'A', 'V', 'd', 'n' };
    EXPECT_EQ(tables.compressionNameForItem(item), "AVdn ID:1299");
    item.setDB_DIDResolutionID(1237);
    EXPECT_EQ(tables.compressionNameForItem(item), "DNxHD 1080p SQ");
}
