#include "CliProcess.h"

#include "platform/VeskFileName.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {

// A volume written byte by byte, since file names here need not be UTF-8.
struct Volume {
    QByteArray root;

    QByteArray media(const QByteArray &folder) const { return root + "/Avid MediaFiles/MXF/" + folder; }
    void file(const QByteArray &path, off_t size = 100) const
    {
        QDir().mkpath(QString::fromUtf8(path.left(path.lastIndexOf('/'))));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_TRUE(fd >= 0 && ftruncate(fd, size) == 0 && ::close(fd) == 0) << path.constData();
    }
    // An index listing the names (UIDs 1, 2, ...), a database describing them, and the
    // listed files that are file names.
    void indexed(const QByteArray &folder, const QList<QByteArray> &names) const
    {
        MediaIndexWriter index;
        MdbWriter mdb;
        uint64_t uid = 1;
        for (const QByteArray &name : names) {
            index.record(name, "Feature");
            mdb.media(MdbMedia::numbered(uid++, name, "Feature"));
            if (VeskFileName::isFileName(name))
                file(folder + '/' + name);
        }
        ASSERT_TRUE(index.writeTo(QString::fromUtf8(folder + "/msmFMID.pmr"))
            && mdb.writeTo(QString::fromUtf8(folder + "/msmMMOB.mdb")));
    }
};

struct Case {
    const char *name;
    std::function<void(const Volume &)> make;
    // The shown file names, sorted; "*" marks those that count as unreferenced.
    QStringList rows;
    const char *logged;
};

const Case kCases[] = {
    { "IndexNameThatIsNoFileName",
        [](const Volume &v) {
            v.file(v.media("victim.mxf"));
            v.indexed(v.media("1"), { "../victim.mxf", "ok.mxf" });
        },
        { "ok.mxf" }, "record 1 of the media index does not name a file" },
    { "NamesMatchByTheirBytes",
        [](const Volume &v) {
            v.indexed(v.media("1"), { "\xc3\xa9-u.mxf", "\xe9-l.mxf" });
            v.file(v.media("1/\xff-d.mxf"));
            v.file(v.media("1/.vesk-copy-Ab12Cd"));
        },
        { "é-l.mxf", "é-u.mxf", "ÿ-d.mxf*" }, nullptr },
    { "FolderWithoutIndex",
        [](const Volume &v) {
            v.file(v.media("1/c.mxf"));
            v.file(v.media("1/sub/d.mxf"));
            v.file(v.media("1/big.mxf"), qint64(1) << 30);
        },
        { "big.mxf", "c.mxf" }, "has no media index" },
    { "LinkedFolder",
        [](const Volume &v) {
            v.indexed(v.root + "/elsewhere", { "a.mxf" });
            v.file(v.root + "/elsewhere/x.mxf");
            QDir().mkpath(QString::fromUtf8(v.media("")));
            ASSERT_EQ(symlink(v.root + "/elsewhere", v.media("5")), 0);
        },
        { "a.mxf", "x.mxf*" }, "Following the link" },
    { "LinkLoopAndSecondWayIn",
        [](const Volume &v) {
            v.indexed(v.media("1"), { "a.mxf" });
            ASSERT_EQ(symlink("..", v.media("1/loop")) | symlink("1", v.media("2")), 0);
        },
        { "a.mxf" }, "scanned already" },
};

class ScanSafety : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        volume.root = files.path().toUtf8() + "/vol";
        GetParam().make(volume);
    }
    // Qt cannot name every file made here, so the folder is removed by its bytes.
    void TearDown() override { std::filesystem::remove_all(volume.root.toStdString()); }

    // The file names vesk-cli shows, sorted; the log, on standard error, is kept.
    QStringList scan(const QStringList &options)
    {
        const QStringList scan { "scan", "--volume", QString::fromUtf8(volume.root), "--log", "--format", "json" };
        const ProcessResult result = cli(scan + QStringList { "--columns", "fileName" } + options);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        log = result.err;
        QStringList rows;
        for (const QJsonObject &row : jsonLines(result.out))
            rows << row.value("fileName").toString();
        rows.sort();
        return rows;
    }

    TestFiles files;
    Volume volume;
    QString log;
};

} // namespace

TEST_P(ScanSafety, ListsEveryFileOnceAndOnlyKnownUnreferenced)
{
    const Case &c = GetParam();
    const QStringList all = QStringList(c.rows).replaceInStrings("*", "");
    EXPECT_EQ(scan({}), all);
    EXPECT_TRUE(!c.logged || log.contains(QLatin1String(c.logged))) << log.toStdString();
    // Missing files shown too: no item stands for a name that is no file here.
    EXPECT_EQ(scan({ "--show-missing" }), all);
    EXPECT_EQ(scan({ "--unreferenced" }), c.rows.filter("*").replaceInStrings("*", ""));
}

INSTANTIATE_TEST_SUITE_P(CraftedVolumes, ScanSafety, ::testing::ValuesIn(kCases),
    [](const auto &info) { return std::string(info.param.name); });

// With the databases left unread, a written volume shows the same rows (UIDs from its
// index) and says why none counts as unreferenced; rows that standard output cannot take
// are a failure, not a success.
TEST(ScanSafetyVolume, WithoutDatabasesTheRowsStayAndAFullOutputFails)
{
    TestFiles files;
    const QString root = files.path() + "/vol";
    ASSERT_TRUE(makeVolume(root, { "--mxf", "--folders", "1", "--files", "8" }));
    const QStringList scan { "scan", "--volume", root, "--columns", "path,fileUID" };
    const ProcessResult unread = cli(scan + QStringList { "--no-mdb" });
    EXPECT_TRUE(unread.err.contains("(media databases not read: 8)")) << unread.err.toStdString();
    EXPECT_EQ(unread.out.count(".mxf\";"), 8);
    EXPECT_EQ(unread.out, cli(scan).out);
    EXPECT_EQ(run("sh", { "-c", "\"$0\" scan --volume \"$1\" --format json >/dev/full", VESK_CLI, root }).status, 1);
}
