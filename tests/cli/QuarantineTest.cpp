// Quarantine sets through vesk-cli: what goes in comes back with the same bytes, nothing
// is ever written over, and a manifest read after a crash lists exactly what moved.

#include "CliProcess.h"

#include "actions/VeskQuarantineSet.h"

namespace {

const QString kMedia = "vol/Avid MediaFiles/MXF/1/";
const QStringList kNames = { "a.mxf", "b.mxf", "c\nd.mxf" };

QStringList manifestPaths(const QString &setFolder)
{
    QStringList paths;
    const QJsonObject manifest = QJsonDocument::fromJson(bytesOf(setFolder + "/manifest.json")).object();
    for (const QJsonValue &file : manifest.value("files").toArray())
        paths << file.toObject().value("path").toString();
    paths.sort();
    return paths;
}

} // namespace

class Quarantine : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString &name : kNames)
            files.write(kMedia + name, name.toUtf8().repeated(100));
        root = files.path() + "/vol";
    }
    QString original(const QString &name) const { return files.path() + QLatin1Char('/') + kMedia + name; }

    TestFiles files;
    QString root;
};

TEST_F(Quarantine, ListRestoreWithAnOccupiedPathThenPurge)
{
    const ProcessResult put = cli({ "quarantine", "--volume", root, "--no-mxf", "--yes", "--quiet" });
    ASSERT_EQ(put.status, 0) << put.err.toStdString();
    EXPECT_TRUE(put.out.contains("quarantined 3, skipped 0, failed 0")) << put.out.toStdString();

    const ProcessResult listed = cli({ "quarantine", "--list", root, "--format=json" });
    const QJsonObject set = QJsonDocument::fromJson(listed.rawOut).object();
    EXPECT_EQ(set.value("files").toInt(), 3);
    EXPECT_EQ(set.value("size").toInt(), 500 + 500 + 700);
    const QString id = set.value("id").toString();
    const QString setFolder = root + "/.vesk-quarantine/" + id;
    ASSERT_TRUE(VeskQuarantineSet::isValidId(id)) << listed.out.toStdString();

    files.write(kMedia + kNames[1], "someone else's");
    const ProcessResult back = cli({ "restore", id, "--root", root });
    EXPECT_EQ(back.status, 1);
    EXPECT_TRUE(back.out.contains("restored 2, left in quarantine 1")) << back.out.toStdString();
    EXPECT_EQ(bytesOf(original(kNames[1])), "someone else's");
    EXPECT_EQ(bytesOf(setFolder + "/Avid MediaFiles/MXF/1/b.mxf"), kNames[1].toUtf8().repeated(100));
    for (const QString &name : { kNames[0], kNames[2] })
        EXPECT_EQ(bytesOf(original(name)), name.toUtf8().repeated(100)) << name.toStdString();
    EXPECT_EQ(manifestPaths(setFolder), QStringList { "Avid MediaFiles/MXF/1/b.mxf" });

    const QStringList purge = { "purge", id, "--root", root };
    EXPECT_EQ(cli(purge).status, 2) << "no terminal to ask on and no --yes";
    EXPECT_TRUE(QFile::exists(setFolder));
    EXPECT_EQ(cli(purge + QStringList { "--yes" }).status, 0);
    EXPECT_FALSE(QFile::exists(setFolder));
    EXPECT_EQ(bytesOf(original(kNames[1])), "someone else's");
}

// A crash leaves journal lines for every file moved and for at most one that was about
// to move; the set read afterwards lists exactly the files that lie in it.
TEST_F(Quarantine, InterruptedSetListsExactlyTheMovedFiles)
{
    QString id;
    {
        QString error;
        std::optional<VeskQuarantineSet> set = VeskQuarantineSet::create(root, QDateTime::currentDateTime(), &error);
        ASSERT_TRUE(set) << error.toStdString();
        id = set->id();
        for (const QString &name : { kNames[0], kNames[1], QStringLiteral("never-there.mxf") }) {
            const QString relative = "Avid MediaFiles/MXF/1/" + name;
            set->moveIn({ relative, root + QLatin1Char('/') + relative, 1, {}, {}, {}, {}, {} }, &error);
        }
        // Ends without finish(), as a killed process would: the lock goes with it.
    }
    const QString setFolder = root + "/.vesk-quarantine/" + id;
    EXPECT_TRUE(manifestPaths(setFolder).isEmpty()) << "the manifest as first written";
    const ProcessResult listed = cli({ "quarantine", "--list", root });
    EXPECT_TRUE(listed.out.contains(id + ";\"" + root)) << listed.out.toStdString();
    EXPECT_EQ(manifestPaths(setFolder), QStringList({ "Avid MediaFiles/MXF/1/a.mxf", "Avid MediaFiles/MXF/1/b.mxf" }));

    EXPECT_EQ(cli({ "restore", id, "--root", root }).status, 0);
    EXPECT_EQ(bytesOf(original(kNames[0])), kNames[0].toUtf8().repeated(100));
    EXPECT_FALSE(QFile::exists(setFolder));
}

// A manifest edited to lead out of the set or the root moves nothing there.
TEST_F(Quarantine, EditedManifestNeverLeadsOutside)
{
    ASSERT_EQ(cli({ "quarantine", "--volume", root, "--no-mxf", "--yes" }).status, 0);
    const QString id = QDir(root + "/.vesk-quarantine").entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
    const QString manifestPath = root + "/.vesk-quarantine/" + id + "/manifest.json";
    files.write("outside.txt", "keep");
    ASSERT_TRUE(TestFiles::writeFile(
        manifestPath, bytesOf(manifestPath).replace("\"Avid MediaFiles/MXF/1/a.mxf\"", "\"../../outside.txt\"")));
    // The media folder now leads elsewhere through a link.
    ASSERT_TRUE(QDir().rename(root + "/Avid MediaFiles/MXF/1", files.path() + "/away"));
    ASSERT_TRUE(QFile::link(files.path() + "/elsewhere", root + "/Avid MediaFiles/MXF/1"));

    const ProcessResult back = cli({ "restore", id, "--root", root });
    EXPECT_EQ(back.status, 1);
    EXPECT_TRUE(back.out.contains("restored 0, left in quarantine 2")) << back.out.toStdString();
    EXPECT_EQ(bytesOf(files.path() + "/outside.txt"), "keep");
    EXPECT_FALSE(QFile::exists(files.path() + "/elsewhere"));
}
