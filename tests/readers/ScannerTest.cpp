#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskSettings.h"
#include "readers/VeskPMRScannerOperation.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace {

MdbMedia described(uint64_t uid, const char *nameInBin)
{
    MdbMedia media;
    media.fileUID = MediaIndexWriter::makeUID(8, uid, false);
    media.materialUID = MediaIndexWriter::makeUID(8, uid, true);
    media.nameInBin = nameInBin;
    media.project = QByteArray("Feature");
    media.resolutionID = 1237;
    return media;
}

} // namespace

class Scanner : public ::testing::Test {
protected:
    void SetUp() override
    {
        VeskSettings::shared().useMemoryStore();
        VeskSettings::shared().registerStandardDefaults();
        VeskSettings::shared().setValue(QStringLiteral("ShowOnlyExistingFiles"), 0);
    }
    void TearDown() override { VeskSettings::shared().useMemoryStore(); }

    /// A media folder whose index lists the named files (UIDs 1, 2, ...), each present.
    QString folder(const QString &relative, const QList<QByteArray> &listed, bool withMDB = true)
    {
        MediaIndexWriter index;
        MdbWriter mdb;
        uint64_t uid = 1;
        for (const QByteArray &name : listed) {
            index.record(name, "Feature");
            mdb.media(described(uid++, "Bin " + name));
            files.writeSparse(relative + QLatin1Char('/') + QString::fromLatin1(name), 2048);
        }
        index.writeTo(files.write(relative + QStringLiteral("/msmFMID.pmr"), {}));
        if (withMDB)
            mdb.writeTo(files.write(relative + QStringLiteral("/msmMMOB.mdb"), {}));
        return files.path() + QLatin1Char('/') + relative;
    }

    std::map<QString, VeskItemRef> scan(const QString &path)
    {
        core.AddFile(path);
        VeskPMRScannerOperation::opQueue().waitUntilAllOperationsAreFinished();
        core.makeUnique();
        core.LoadDefaults();
        std::map<QString, VeskItemRef> byName;
        for (const VeskItemRef &item : core.ItemsUnsorted())
            byName[item->DB_ClipName()] = item;
        return byName;
    }

    TestFiles files;
    VeskCore core;
};

TEST_F(Scanner, ListedFilesGetTheirMDBInformation)
{
    const auto items = scan(folder(QStringLiteral("Avid MediaFiles/MXF/1"), {"a.mxf", "b.mxf", "c.mxf"}));
    ASSERT_EQ(items.size(), 3u);
    const VeskDatabaseItem &b = *items.at(QStringLiteral("b.mxf"));
    EXPECT_EQ(b.DB_NameInBin(), QStringLiteral("Bin b.mxf"));
    EXPECT_EQ(b.get_DB_ProjectName(), QStringLiteral("Feature"));
    EXPECT_EQ(b.DB_CompressionString(), QStringLiteral("DNxHD 1080p SQ"));
    EXPECT_TRUE(b.DB_isReferenced());
    EXPECT_TRUE(b.DB_FileExists());
}

TEST_F(Scanner, UnlistedFilesBecomeUnmanagedItemsButFoldersDoNot)
{
    const QString path = folder(QStringLiteral("m"), {"a.mxf", "b.mxf"});
    files.writeSparse(QStringLiteral("m/extra.mxf"), 10);
    files.write(QStringLiteral("m/.DS_Store"), "x");
    files.write(QStringLiteral("m/Creating/partial.mxf"), "x");
    files.write(QStringLiteral("m/sub/other.mxf"), "x");
    const auto items = scan(path);
    ASSERT_EQ(items.size(), 4u);
    const VeskDatabaseItem &extra = *items.at(QStringLiteral("extra.mxf"));
    EXPECT_FALSE(extra.DB_isReferenced());
    EXPECT_EQ(extra.get_DB_ProjectName(), QStringLiteral("_00_VSK_UNMANAGED_FILES"));
    EXPECT_TRUE(items.count(QStringLiteral(".DS_Store")));
}

TEST_F(Scanner, MissingFileFoundAsAMALink)
{
    const QString path = folder(QStringLiteral("m"), {"clip.mxf"});
    QFile::rename(path + QStringLiteral("/clip.mxf"), path + QStringLiteral("/clip.mxf.aaf"));
    const auto items = scan(path);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items.begin()->second->DB_isAMA());
    EXPECT_TRUE(items.begin()->second->DB_itemPath().endsWith(QStringLiteral("clip.mxf.aaf")));
}

TEST_F(Scanner, WithoutMDBScanningItemsAreNotDescribed)
{
    VeskSettings::shared().setValue(QStringLiteral("ScanMDB"), 0);
    VeskSettings::shared().setValue(QStringLiteral("ScanMXF"), 0);
    const auto items = scan(folder(QStringLiteral("m"), {"a.mxf"}));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items.begin()->second->DB_NameInBin().isNull());
    EXPECT_FALSE(items.begin()->second->DB_isReferenced());
}

TEST_F(Scanner, BrokenIndexContributesNothing)
{
    const QString path = folder(QStringLiteral("m"), {"a.mxf"});
    MediaIndexWriter().count(0).record("a.mxf", "P").writeTo(path + QStringLiteral("/msmFMID.pmr"));
    EXPECT_TRUE(scan(path).empty());
}

TEST_F(Scanner, VolumeTreeScansEveryMediaFolderOnce)
{
    folder(QStringLiteral("vol/Avid MediaFiles/MXF/1"), {"a.mxf", "b.mxf"});
    folder(QStringLiteral("vol/Avid MediaFiles/MXF/2"), {"c.mxf"});
    const QString volume = files.path() + QStringLiteral("/vol");
    EXPECT_EQ(scan(volume).size(), 3u);
    core.clear();
    core.AddFile(volume);
    core.AddFile(volume); // the same folders scanned twice
    VeskPMRScannerOperation::opQueue().waitUntilAllOperationsAreFinished();
    core.makeUnique();
    core.LoadDefaults();
    EXPECT_EQ(core.getAllItemsCount(), 3u);
}
