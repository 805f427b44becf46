#include "StoreTestSupport.h"

#include "base/VeskConsole.h"
#include "model/VeskNameTables.h"

// A short UID matches the same bytes inside a UMID; words compare unsigned.
TEST(DatabaseItem, UIDsMatchByTheirSharedBytesAndCompareUnsigned)
{
    const QByteArray full = MediaIndexWriter::makeUID(8, 0x1122334455667788, false);
    const VeskItemRef longItem = itemWithUID(full, "/a/x.mxf");
    const VeskItemRef shortItem = itemWithUID(full.mid(16, 8), "/a/x.mxf");
    EXPECT_EQ(shortItem->DB_SizeofUID(), 2u);
    EXPECT_TRUE(longItem->isEqualByUUID(shortItem.get()));
    EXPECT_TRUE(longItem->isEqual(shortItem.get()));
    EXPECT_FALSE(longItem->isLessByUUID(shortItem.get()));
    EXPECT_FALSE(shortItem->isLessByUUID(longItem.get()));
    EXPECT_FALSE(longItem->isEqual(itemWithUID(full, "/b/x.mxf").get()));
    const VeskItemRef high = itemWithUID(QByteArray::fromHex("0000008000000000")); // word 4 = 0x80000000
    const VeskItemRef low = itemWithUID(QByteArray::fromHex("ffffff7f00000000")); // word 4 = 0x7FFFFFFF
    EXPECT_TRUE(low->isLessByUUID(high.get()));
    EXPECT_FALSE(high->isLessByUUID(low.get()));
}

TEST(DatabaseItem, BadUMIDNeedsBothUIDsLabelled)
{
    const QByteArray umid = MediaIndexWriter::makeUID(8, 1, false); // labelled: 06 0A 2B 34 ...
    const VeskItemRef item = itemWithUID(umid);
    EXPECT_FALSE(item->DB_isGoodUUID()); // material UID still zero
    item->setMaterialUIDWithNSData(MediaIndexWriter::makeUID(8, 1, true));
    EXPECT_TRUE(item->DB_isGoodUUID());
    item->setFileUIDWithNSData('\x07' + umid.mid(1));
    EXPECT_FALSE(item->DB_isGoodUUID());
    EXPECT_TRUE(itemWithUID(QByteArray(8, '\x55'))->DB_isGoodUUID());
    EXPECT_TRUE(VeskConsole::sharedInstance()->text().contains("UMID: {"));
}

TEST(DatabaseItem, AudioByExtensionOrCode)
{
    const std::tuple<const char *, bool, bool> cases[] = { { "a.WAV", false, true }, { "b.Sd2", false, true },
        { "c.aif", false, true }, { "d.lrc", false, true }, { "e.aiff", false, false }, { "e.aiff", true, true } };
    for (const auto &[name, coded, audio] : cases) {
        VeskDatabaseItem item;
        if (coded)
            item.DB_CompressionFourCC()->setUMIDx32t(0x4455415F);
        item.setupWithUnrefFile("/m", name);
        EXPECT_EQ(item.DB_CompressionString().isNull(), !audio) << name;
        EXPECT_EQ(item.DB_CompressionString(), audio ? "Audio" : QString()) << name;
        EXPECT_EQ(item.DB_CompressionFourCC()->UMIDx32t(), audio ? 0x4455415Fu : 0u) << name;
    }
}

TEST(NameTables, CompressionNameFallsBackToTheCode)
{
    const VeskNameTables tables;
    VeskDatabaseItem item;
    item.setDB_DIDResolutionID(1299);
    EXPECT_EQ(tables.compressionNameForItem(item), std::nullopt);
    item.DB_CompressionFourCC()->UMIDx = { 'A', 'V', 'd', 'n' };
    EXPECT_EQ(tables.compressionNameForItem(item), "AVdn ID:1299");
    item.setDB_DIDResolutionID(1237);
    EXPECT_EQ(tables.compressionNameForItem(item), "DNxHD 1080p SQ");
}

TEST(DatabaseItem, SetUpIgnoresUnusableRecords)
{
    const QByteArray record = MediaIndexWriter().record("a.mxf", "").recordBytes(0);
    const auto *bytes = reinterpret_cast<const uint8_t *>(record.constData());
    VeskDatabaseItem wrongSize;
    wrongSize.setupWithPmrBytes(bytes, uint32_t(record.size()), 4, false);
    EXPECT_TRUE(wrongSize.DB_ClipName().isNull());
    EXPECT_FALSE(wrongSize.DB_isReferenced());
    VeskDatabaseItem noProject;
    noProject.setupWithPmrBytes(bytes, uint32_t(record.size()), 8, false);
    EXPECT_TRUE(noProject.DB_ProjectName().isNull());
    EXPECT_EQ(noProject.get_DB_ProjectName(), "_00_VSK_NULL_PROJECT_NAME");
    VeskDatabaseItem cut; // stops at the first field that does not fit
    cut.setupWithPmrBytes(bytes, 36, 8, false);
    EXPECT_TRUE(cut.DB_ClipName().isNull());
    EXPECT_EQ(cut.DB_SizeofUID(), 8u);
}

// A file found gets its size and date; a missing one is flagged, not fatal.
TEST(DatabaseItem, ValidationReadsSizeAndDateOrFlagsTheMissingFile)
{
    TestFiles files;
    files.writeSparse("clip.mxf", 5000);
    for (const bool exists : { true, false }) {
        const QString name = exists ? "clip.mxf" : "caf\u00e9?.mxf";
        VeskDatabaseItem item;
        item.setupWithUnrefFile(files.path(), name);
        item.validatePath();
        EXPECT_EQ(item.DB_FileExists(), exists);
        EXPECT_EQ(item.DB_isValid(), exists);
        EXPECT_EQ(item.DB_filesize(), std::optional<uint64_t>(exists ? 5000 : 0));
        EXPECT_EQ(item.DB_Date().isValid(), exists);
        EXPECT_EQ(item.DB_isPortableFilename(), exists);
    }
}

// With the store's settings in memory.
TEST_F(StoreTest, SmallOrUnsettledFilesAreNotOpenedForInformation)
{
    TestFiles files;
    int opened = 0;
    VeskDatabaseItem::setCorrespondingFileReader([&](VeskDatabaseItem &, const QString &) { ++opened; });
    files.writeSparse("small.mxf", 1024);
    files.writeSparse("big.MXF", 1025);
    const std::tuple<const char *, int, int> cases[]
        = { { "small.mxf", 1, 0 }, { "big.MXF", 1, 1 }, { "big.MXF", 0, 0 } };
    for (const auto &[name, scanMXF, opens] : cases) {
        VeskSettings::shared().setValue("ScanMXF", scanMXF);
        VeskDatabaseItem item;
        item.setupWithUnrefFile(files.path(), name);
        item.validatePath();
        opened = 0;
        item.addinfoToItemFromCorrespondingFile();
        EXPECT_EQ(opened, opens) << name << " ScanMXF " << scanMXF;
    }
    VeskDatabaseItem::setCorrespondingFileReader({});
}
