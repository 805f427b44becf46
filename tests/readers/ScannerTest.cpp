#include "base/VeskConsole.h"
#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"
#include "support/MXFWriter.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>

#include <functional>
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

    /// A media folder whose index lists the named files (UIDs 1, 2, ...), each present;
    /// its database also describes a file of no (all-zero) identity.
    QString folder(const QString &relative, const QList<QByteArray> &listed)
    {
        MediaIndexWriter index;
        MdbMedia anonymous = described(0, "No identity");
        anonymous.fileUID = anonymous.materialUID = QByteArray(32, '\0');
        anonymous.project.reset();
        MdbWriter mdb;
        mdb.media(anonymous);
        uint64_t uid = 1;
        for (const QByteArray &name : listed) {
            index.record(name, "Feature");
            mdb.media(described(uid++, "Bin " + name));
            files.writeSparse(relative + QLatin1Char('/') + QString::fromLatin1(name), 2048);
        }
        index.writeTo(files.write(relative + QStringLiteral("/msmFMID.pmr"), {}));
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

// Listed files get the database's information, a listed file missing under its name is
// found as an AMA link, unlisted files become unmanaged items, folders do not.
TEST_F(Scanner, ListedUnlistedAndLinkedFiles)
{
    const QString path = folder(QStringLiteral("Avid MediaFiles/MXF/1"), { "a.mxf", "b.mxf", "clip.mxf" });
    QFile::rename(path + QStringLiteral("/clip.mxf"), path + QStringLiteral("/clip.mxf.aaf"));
    files.writeSparse(QStringLiteral("Avid MediaFiles/MXF/1/extra.mxf"), 10);
    files.write(QStringLiteral("Avid MediaFiles/MXF/1/.DS_Store"), "x");
    files.write(QStringLiteral("Avid MediaFiles/MXF/1/Creating/partial.mxf"), "x");
    files.write(QStringLiteral("Avid MediaFiles/MXF/1/sub/other.mxf"), "x");
    const auto items = scan(path);
    ASSERT_EQ(items.size(), 5u);
    const VeskDatabaseItem &b = *items.at(QStringLiteral("b.mxf"));
    EXPECT_EQ(b.DB_NameInBin(), QStringLiteral("Bin b.mxf"));
    EXPECT_EQ(b.get_DB_ProjectName(), QStringLiteral("Feature"));
    EXPECT_EQ(b.DB_CompressionString(), QStringLiteral("DNxHD 1080p SQ"));
    EXPECT_TRUE(b.DB_isReferenced());
    const VeskDatabaseItem &extra = *items.at(QStringLiteral("extra.mxf"));
    EXPECT_FALSE(extra.DB_isReferenced());
    EXPECT_EQ(extra.get_DB_ProjectName(), QStringLiteral("_00_VSK_UNMANAGED_FILES"));
    EXPECT_EQ(extra.DB_NameInBin(), QStringLiteral("No identity")) << "an unlisted file still gets the database's word";
    EXPECT_TRUE(items.count(QStringLiteral(".DS_Store")));
    const VeskDatabaseItem &clip = *items.at(QStringLiteral("clip.mxf"));
    EXPECT_TRUE(clip.DB_isAMA());
    EXPECT_TRUE(clip.DB_itemPath().endsWith(QStringLiteral("clip.mxf.aaf")));
}

// What the scanner says about a folder it cannot fully read, and the reference state it
// gives the folder's items.
TEST_F(Scanner, DiagnosticsOfFoldersItCannotFullyRead)
{
    using State = VeskDatabaseItem::ReferenceState;
    const struct {
        const char *name;
        std::function<void(const QString &)> spoil;
        QStringList lines;
        State state;
    } cases[] = {
        { "unopenable index", [](const QString &m) { QFile(m + "/msmFMID.pmr").resize(20); },
            { "can't open %1/msmFMID.pmr; the files of %1 are listed as unmanaged" }, State::NoIndex },
        { "count above the records",
            [](const QString &m) {
                MediaIndexWriter().count(5).record("a.mxf", "F").record("b.mxf", "F").writeTo(m + "/msmFMID.pmr");
            },
            { "Error:: PMR ::%1/msmFMID.pmr\n", "Error:: PMR ::file://%1/msmFMID.pmr\n",
                "Item :: 00000002 of 00000005 \n" },
            State::IndexIncomplete },
        { "no database", [](const QString &m) { QFile::remove(m + "/msmMMOB.mdb"); }, {}, State::NoDatabase },
        { "many files",
            [this](const QString &) {
                for (int i = 0; i < 3997; ++i) // with the two media files and the two indexes
                    files.write(QStringLiteral("m/x%1").arg(i), {});
            },
            { "**** Warning **** %1 contains 4001 files\n" }, State::Known },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder(QStringLiteral("m"), { "a.mxf", "b.mxf" });
        c.spoil(path);
        VeskConsole::sharedInstance()->Reset();
        core.clear();
        const auto items = scan(path);
        const QString log = VeskConsole::sharedInstance()->text();
        QStringList lines = c.lines;
        if (c.state != State::Known)
            lines << QStringLiteral("%1: ") + VeskDatabaseItem::referenceStateText(c.state)
                    + QStringLiteral("; its %2 items never count as unreferenced").arg(items.size());
        for (const QString &line : lines)
            EXPECT_TRUE(log.contains(QString(line).replace(QStringLiteral("%1"), path))) << line.toStdString();
        EXPECT_EQ(log.contains(QStringLiteral("never count as unreferenced")), c.state != State::Known);
        for (const auto &[name, item] : items)
            EXPECT_EQ(item->DB_referenceState(), c.state) << name.toStdString();
        QDir(path).removeRecursively();
    }
}

TEST_F(Scanner, VolumeTreeScansEveryMediaFolderOnce)
{
    folder(QStringLiteral("vol/Avid MediaFiles/MXF/1"), { "a.mxf", "b.mxf" });
    folder(QStringLiteral("vol/Avid MediaFiles/MXF/2"), { "c.mxf" });
    const QString volume = files.path() + QStringLiteral("/vol");
    VeskScanner(core).AddFile(volume);
    scan(volume); // the same folders scanned twice
    EXPECT_EQ(core.getAllItemsCount(), 3u);
}

TEST_F(Scanner, WithoutMDBTheMXFFilesDescribeThemselves)
{
    MediaIndexWriter().record("clip.mxf", "").writeTo(files.write(QStringLiteral("m/msmFMID.pmr"), {}));
    ASSERT_TRUE(MXFWriter::writeOpAtom(files.path() + QStringLiteral("/m/clip.mxf"),
        { QStringLiteral("Interview"), QStringLiteral("Documentary"), {}, {} }));
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
    const QString path = folder(QStringLiteral("m"), { "a.mxf" });
    files.write(QStringLiteral("m/msmMMOB.mdb"), "this is not a media database");
    MediaIndexWriter().firstUIDNumber(50).record("b.mxf", "Other").writeTo(path + QStringLiteral("/amaFMID.pmr"));
    files.writeSparse(QStringLiteral("m/b.mxf"), 100);
    const auto items = scan(path);
    // Each index lists one file and reports the other as unlisted: four items in all.
    EXPECT_EQ(core.getAllItemsCount(), 4u);
    EXPECT_TRUE(items.at(QStringLiteral("a.mxf"))->DB_FileExists());
}
