#include "base/VeskConsole.h"
#include "model/VeskDatabaseItem.h"
#include "platform/VeskSettings.h"
#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

VeskItemRef itemWithUID(const QByteArray &fileUID, const QString &path = QString())
{
    auto item = std::make_shared<VeskDatabaseItem>();
    item->setFileUIDWithNSData(fileUID);
    if (!path.isEmpty())
        item->setDB_itemPath(path);
    return item;
}

QByteArray umid(uint8_t first, uint64_t number)
{
    QByteArray bytes = MediaIndexWriter::makeUID(8, number, false);
    bytes[0] = char(first);
    return bytes;
}

} // namespace

TEST(DatabaseItem, ShortUIDMatchesTheSameBytesInsideAUMID)
{
    const QByteArray full = MediaIndexWriter::makeUID(8, 0x1122334455667788, false);
    const VeskItemRef longItem = itemWithUID(full, QStringLiteral("/a/x.mxf"));
    const VeskItemRef shortItem = itemWithUID(full.mid(16, 8), QStringLiteral("/a/x.mxf"));
    EXPECT_EQ(shortItem->DB_SizeofUID(), 2u);
    EXPECT_TRUE(longItem->isEqualByUUID(shortItem.get()));
    EXPECT_TRUE(longItem->isEqual(shortItem.get()));
    EXPECT_FALSE(longItem->isLessByUUID(shortItem.get()));
    EXPECT_FALSE(shortItem->isLessByUUID(longItem.get()));
    EXPECT_FALSE(longItem->isEqual(itemWithUID(full, QStringLiteral("/b/x.mxf")).get()));
}

TEST(DatabaseItem, WordsCompareUnsigned)
{
    QByteArray high(8, '\0');
    QByteArray low(8, '\0');
    high[3] = char(0x80); // word 4 = 0x80000000
    low[0] = char(0xFF);
    low[1] = char(0xFF);
    low[2] = char(0xFF);
    low[3] = char(0x7F); // word 4 = 0x7FFFFFFF
    EXPECT_TRUE(itemWithUID(low)->isLessByUUID(itemWithUID(high).get()));
    EXPECT_FALSE(itemWithUID(high)->isLessByUUID(itemWithUID(low).get()));
}

TEST(DatabaseItem, BadUMIDNeedsBothUIDsLabelled)
{
    const VeskItemRef item = itemWithUID(umid(0x06, 1));
    EXPECT_FALSE(item->DB_isGoodUUID()); // material UID still zero
    item->setMaterialUIDWithNSData(MediaIndexWriter::makeUID(8, 1, true));
    EXPECT_TRUE(item->DB_isGoodUUID());
    item->setFileUIDWithNSData(umid(0x07, 1));
    EXPECT_FALSE(item->DB_isGoodUUID());
    EXPECT_TRUE(itemWithUID(QByteArray(8, '\x55'))->DB_isGoodUUID());
    EXPECT_TRUE(VeskConsole::sharedInstance()->text().contains(QStringLiteral("UMID: {")));
}

TEST(DatabaseItem, AudioByExtensionOrCode)
{
    for (const char *name : { "a.WAV", "b.Sd2", "c.aif", "d.lrc" }) {
        VeskDatabaseItem item;
        item.setupWithUnrefFile(QStringLiteral("/m"), QString::fromLatin1(name));
        EXPECT_EQ(item.DB_CompressionString(), QStringLiteral("Audio")) << name;
        EXPECT_EQ(item.DB_CompressionFourCC()->UMIDx32t(), 0x4455415Fu);
    }
    VeskDatabaseItem aiff;
    aiff.setupWithUnrefFile(QStringLiteral("/m"), QStringLiteral("e.aiff"));
    EXPECT_TRUE(aiff.DB_CompressionString().isNull());
    VeskDatabaseItem coded;
    coded.DB_CompressionFourCC()->setUMIDx32t(0x4455415F);
    coded.setupWithUnrefFile(QStringLiteral("/m"), QStringLiteral("e.aiff"));
    EXPECT_EQ(coded.DB_CompressionString(), QStringLiteral("Audio"));
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
    EXPECT_EQ(noProject.get_DB_ProjectName(), QStringLiteral("_00_VSK_NULL_PROJECT_NAME"));
    VeskDatabaseItem cut; // stops at the first field that does not fit
    cut.setupWithPmrBytes(bytes, 36, 8, false);
    EXPECT_TRUE(cut.DB_ClipName().isNull());
    EXPECT_EQ(cut.DB_SizeofUID(), 8u);
}

class ItemOnDisk : public ::testing::Test {
protected:
    TestFiles files;
};

// A file found gets its size and date; a missing one is flagged, not fatal.
TEST_F(ItemOnDisk, ValidationReadsSizeAndDateOrFlagsTheMissingFile)
{
    files.writeSparse(QStringLiteral("clip.mxf"), 5000);
    for (const QString &name : { QStringLiteral("clip.mxf"), QStringLiteral("caf\u00e9?.mxf") }) {
        const bool exists = name == QLatin1String("clip.mxf");
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

TEST_F(ItemOnDisk, SmallOrUnsettledFilesAreNotOpenedForInformation)
{
    int opened = 0;
    VeskDatabaseItem::setCorrespondingFileReader([&](VeskDatabaseItem &, const QString &) { ++opened; });
    VeskSettings::shared().useMemoryStore();
    VeskSettings::shared().registerStandardDefaults();
    files.writeSparse(QStringLiteral("small.mxf"), 1024);
    files.writeSparse(QStringLiteral("big.MXF"), 1025);
    for (const char *name : { "small.mxf", "big.MXF" }) {
        VeskDatabaseItem item;
        item.setupWithUnrefFile(files.path(), QString::fromLatin1(name));
        item.validatePath();
        item.addinfoToItemFromCorrespondingFile();
    }
    EXPECT_EQ(opened, 1);
    VeskSettings::shared().setValue(QStringLiteral("ScanMXF"), 0);
    VeskDatabaseItem item;
    item.setupWithUnrefFile(files.path(), QStringLiteral("big.MXF"));
    item.validatePath();
    item.addinfoToItemFromCorrespondingFile();
    EXPECT_EQ(opened, 1);
    VeskSettings::shared().useMemoryStore();
    VeskDatabaseItem::setCorrespondingFileReader({});
}
