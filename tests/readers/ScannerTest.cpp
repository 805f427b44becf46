#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskSettings.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"
#include "support/MXFWriter.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace {

MdbMedia described(uint64_t uid, const QByteArray &nameInBin)
{
    MdbMedia media = MdbMedia::numbered(uid, nameInBin, "Feature");
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
        VeskScanner(core).AddFile(path);
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

TEST_F(Scanner, FilesOfABrokenIndexAreListedWithUnknownReferences)
{
    const QString path = folder(QStringLiteral("m"), {"a.mxf"});
    MediaIndexWriter().count(0).record("a.mxf", "P").writeTo(path + QStringLiteral("/msmFMID.pmr"));
    const auto items = scan(path);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.begin()->second->DB_referenceState(), VeskDatabaseItem::ReferenceState::NoIndex);
}

TEST_F(Scanner, VolumeTreeScansEveryMediaFolderOnce)
{
    folder(QStringLiteral("vol/Avid MediaFiles/MXF/1"), {"a.mxf", "b.mxf"});
    folder(QStringLiteral("vol/Avid MediaFiles/MXF/2"), {"c.mxf"});
    const QString volume = files.path() + QStringLiteral("/vol");
    EXPECT_EQ(scan(volume).size(), 3u);
    core.clear();
    VeskScanner(core).AddFile(volume);
    VeskScanner(core).AddFile(volume); // the same folders scanned twice
    VeskPMRScannerOperation::opQueue().waitUntilAllOperationsAreFinished();
    core.makeUnique();
    core.LoadDefaults();
    EXPECT_EQ(core.getAllItemsCount(), 3u);
}

TEST_F(Scanner, MDBDescriptionsArriveWhole)
{
    MdbMedia audio = described(1, "Voice over");
    audio.fourCC = "_AUD";
    audio.resolutionID = 0;
    audio.sampleRateNumerator = 48000;
    audio.bits = 24;
    audio.usageCode = 15;
    MdbMedia video = described(2, "Wide");
    video.usageCode = 1;
    video.frameRateNumerator = 30000;
    video.frameRateDenominator = 1001;
    MediaIndexWriter().record("a.mxf", "Feature").record("v.mxf", "Feature").writeTo(files.write(QStringLiteral("m/msmFMID.pmr"), {}));
    MdbWriter().media(audio).media(video).writeTo(files.write(QStringLiteral("m/msmMMOB.mdb"), {}));
    files.writeSparse(QStringLiteral("m/a.mxf"), 2048);
    files.writeSparse(QStringLiteral("m/v.mxf"), 2048);
    const auto items = scan(files.path() + QStringLiteral("/m"));
    ASSERT_EQ(items.size(), 2u);
    const VeskDatabaseItem &a = *items.at(QStringLiteral("a.mxf"));
    EXPECT_EQ(a.DB_CompressionString(), QStringLiteral("Audio"));
    EXPECT_EQ(a.DB_usageCode(), 15u);
    EXPECT_EQ(a.DB_samplerate().numerator, 48000u);
    EXPECT_EQ(a.DB_bits(), 24u);
    const VeskDatabaseItem &v = *items.at(QStringLiteral("v.mxf"));
    EXPECT_EQ(v.DB_usageCode(), 1u);
    EXPECT_EQ(v.DB_framerate(), (VeskRate{30000, 1001}));
}

TEST_F(Scanner, WithoutMDBTheMXFFilesDescribeThemselves)
{
    MediaIndexWriter().record("clip.mxf", "").writeTo(files.write(QStringLiteral("m/msmFMID.pmr"), {}));
    ASSERT_TRUE(MXFWriter::writeOpAtom(files.path() + QStringLiteral("/m/clip.mxf"),
                                       {QStringLiteral("Interview"), QStringLiteral("Documentary"), {}, {}}));
    const auto items = scan(files.path() + QStringLiteral("/m"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.begin()->second->DB_NameInBin(), QStringLiteral("Interview"));
    EXPECT_EQ(items.begin()->second->get_DB_ProjectName(), QStringLiteral("Documentary"));
    VeskSettings::shared().setValue(QStringLiteral("ScanMXF"), 0);
    core.clear();
    EXPECT_TRUE(scan(files.path() + QStringLiteral("/m")).begin()->second->DB_NameInBin().isNull());
}

TEST_F(Scanner, UnreadableMDBAndBothIndexNames)
{
    const QString path = folder(QStringLiteral("m"), {"a.mxf"});
    files.write(QStringLiteral("m/msmMMOB.mdb"), "this is not a media database");
    MediaIndexWriter().firstUIDNumber(50).record("b.mxf", "Other").writeTo(path + QStringLiteral("/amaFMID.pmr"));
    files.writeSparse(QStringLiteral("m/b.mxf"), 100);
    const auto items = scan(path);
    // Each index lists one file and reports the other as unlisted: four items in all.
    EXPECT_EQ(core.getAllItemsCount(), 4u);
    EXPECT_TRUE(items.at(QStringLiteral("a.mxf"))->DB_FileExists());
}
