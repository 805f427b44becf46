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

TEST(NameTables, BitRatesNeedTheExactRate)
{
    const VeskNameTables tables;
    EXPECT_EQ(tables.getBitrateTextForItem(itemWith(1241, {25, 1})), QStringLiteral("185x"));
    EXPECT_EQ(tables.getBitrateTextForItem(itemWith(1241, {24, 1})), std::nullopt);
    EXPECT_EQ(tables.getBitrateTextForItem(itemWith(1253, {2997, 100})), QStringLiteral("45"));
    EXPECT_EQ(tables.getBitrateTextForItem(itemWith(1253, {30000, 1001})), std::nullopt);
}

TEST(NameTables, RateTexts)
{
    const VeskNameTables tables;
    EXPECT_EQ(tables.frameRateTextForItem(itemWith(0, {25, 1})), QStringLiteral("25fps"));
    EXPECT_EQ(tables.frameRateTextForItem(itemWith(0, {25, 0})), std::nullopt);
    EXPECT_EQ(tables.frameRateTextForItem(itemWith(0, {30000, 1001})), QStringLiteral("30000"));
    EXPECT_EQ(tables.sampleRateTextForItem(itemWith(0, {}, {48000, 1})), QStringLiteral("48 kHz"));
    EXPECT_EQ(tables.sampleRateTextForItem(itemWith(0, {}, {48000, 0})), QStringLiteral("48 kHz"));
    EXPECT_EQ(tables.sampleRateTextForItem(itemWith(0, {}, {11025, 1})), std::nullopt);
}

TEST(NameTables, CompressionNameFallsBackToTheCode)
{
    const VeskNameTables tables;
    VeskDatabaseItem &item = itemWith(1299, {});
    EXPECT_EQ(tables.compressionNameForItem(item), std::nullopt);
    item.DB_CompressionFourCC()->UMIDx = {'A', 'V', 'd', 'n'};
    EXPECT_EQ(tables.compressionNameForItem(item), QStringLiteral("AVdn ID:1299"));
    item.setDB_DIDResolutionID(1237);
    EXPECT_EQ(tables.compressionNameForItem(item), QStringLiteral("DNxHD 1080p SQ"));
}
