// Copies and moves through vesk-cli leave an ASC MHL history at their destination:
// checked against independent digests of the targets, the schemas (xmllint) and the
// C4 ids of a manifest written by another tool; then verify finds a changed byte.

#include "CliProcess.h"

#include "actions/VeskC4Id.h"
#include "platform/VeskContentHash.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString kData = QStringLiteral(VESK_SOURCE_DIR "/tests/data/ascmhl/");

// The files below the folder but outside its history, relative to it.
QStringList targetsBelow(const QString &folder)
{
    QStringList files;
    for (const QString &file : filesBelow(folder))
        if (const QString path = QDir(folder).relativeFilePath(file); !path.startsWith(QLatin1String("ascmhl/")))
            files << path;
    files.sort();
    return files;
}

bool validates(const QString &file, const QString &schema)
{
    return run("xmllint", { "--noout", "--nonet", "--schema", kData + schema, file }).status == 0;
}

// The newest manifest's digests equal the targets' bytes hashed apart from any copy;
// together the manifests list every file under the destination.
void expectHistoryMatches(const QString &dest, int generations)
{
    const QString history = dest + "/ascmhl/";
    const QStringList manifests = QDir(history).entryList({ "*.mhl" }, QDir::Files, QDir::Name);
    ASSERT_EQ(manifests.size(), generations);
    EXPECT_TRUE(validates(history + "ascmhl_chain.xml", "ASCMHLDirectory.xsd"));
    EXPECT_TRUE(validates(history + manifests.last(), "ASCMHL.xsd"));
    const QRegularExpression hash("<path size=\"(\\d+)\"[^>]*>([^<]+)</path>\\s*<xxh128 action=\"\\w+\">(\\w+)<");
    QStringList listed;
    for (const QString &manifest : manifests) {
        for (auto match = hash.globalMatch(QString::fromUtf8(bytesOf(history + manifest))); match.hasNext();) {
            const QRegularExpressionMatch entry = match.next();
            const QString target = dest + '/' + entry.captured(2);
            listed << entry.captured(2);
            if (manifest != manifests.last())
                continue;
            EXPECT_EQ(VeskContentHash::ofFile(target, false), entry.captured(3)) << target.toStdString();
            EXPECT_EQ(QFileInfo(target).size(), entry.captured(1).toLongLong());
        }
    }
    listed.sort();
    listed.removeDuplicates();
    EXPECT_EQ(listed, targetsBelow(dest));
}

struct HistoryCase {
    const char *name;
    QStringList command;
    bool otherFileSystem;
};

class CopyHistory : public ::testing::TestWithParam<HistoryCase> {
protected:
    QTemporaryDir files;
    QTemporaryDir shm { "/dev/shm/vesk-history-XXXXXX" };
};

TEST_P(CopyHistory, RecordsEveryTargetAndVerifyFindsAChangedByte)
{
    const QString root = files.path() + "/vol";
    const QString dest = (GetParam().otherFileSystem ? shm.path() : files.path()) + "/dest";
    ASSERT_TRUE(makeVolume(root, { "--mxf", "--folders", "2", "--files", "4" }));
    ASSERT_TRUE(QDir().mkpath(dest));
    const QStringList action
        = GetParam().command + QStringList { "--volume", root, "--dest", dest, "--original-folders" };
    const QMap<QString, QString> targets = dryRunTargets(cli(action + QStringList { "--dry-run" }).out);
    ASSERT_FALSE(targets.isEmpty());
    const ProcessResult first = cli(action);
    ASSERT_EQ(first.status, 0) << first.out.toStdString() << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral(" %1, skipped 0, failed 0").arg(targets.size())));
    // Each target where the dry run said, beside its source folder's media index.
    for (const QString &target : targets)
        EXPECT_TRUE(QFileInfo::exists(target) && QFileInfo::exists(QFileInfo(target).path() + "/msmFMID.pmr"))
            << target.toStdString();
    expectHistoryMatches(dest, 1);

    // A copy from a second volume into the same folder appends generation 2.
    ASSERT_TRUE(makeVolume(root + '2', { "--mxf", "--seed", "7", "--folders", "1", "--files", "3" }));
    const ProcessResult second
        = cli({ "copy", "--volume", root + '2', "--dest", dest, "--overwrite", "yes", "--verify" });
    ASSERT_EQ(second.status, 0) << second.out.toStdString() << second.err.toStdString();
    expectHistoryMatches(dest, 2);
    EXPECT_TRUE(bytesOf(dest + "/ascmhl/ascmhl_chain.xml").contains("sequencenr=\"2\""));
    const ProcessResult clean = cli({ "verify", dest });
    EXPECT_EQ(clean.status, 0) << clean.out.toStdString();

    const QString changed = targetsBelow(dest).first();
    ASSERT_TRUE(flipByte(dest + '/' + changed, 0));
    const ProcessResult broken = cli({ "verify", dest, "--record" });
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.out.contains("differs: " + changed)) << broken.out.toStdString();
    EXPECT_TRUE(bytesOf(dest + "/ascmhl/ascmhl_chain.xml").contains("sequencenr=\"3\""));
    // The failure recorded is no new reference: the file keeps failing.
    EXPECT_EQ(cli({ "verify", dest }).status, 1);
    // Again: a copy finds every target there, and without a terminal "ask" means no.
    const ProcessResult again = cli(action);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out.count(":: FILE EXISTS AT DESTINATION \n:: SKIPPING \n"),
        GetParam().command[0] == "copy" ? targets.size() : 0);
}

INSTANTIATE_TEST_SUITE_P(Actions, CopyHistory,
    ::testing::Values(HistoryCase { "Copy", { "copy" }, false },
        HistoryCase { "MoveOnOneVolume", { "move", "--yes" }, false },
        HistoryCase { "MoveToAnotherFileSystem", { "move", "--yes" }, true }),
    [](const auto &info) { return std::string(info.param.name); });

// The C4 id of no bytes is the one its standard publishes; that of the example manifest
// was worked out apart from this code.
TEST(Verify, IdsManifestsByC4AndRefusesAFolderWithoutHistory)
{
    EXPECT_EQ(
        VeskC4Id::of({}), "c459dsjfscH38cYeXXYogktxf4Cd9ibshE3BHUo6a58hBXmRQdZrAkZzsWcbWtDg5oQstpDuni4Hirj75GEmTc1sFT");
    EXPECT_EQ(VeskC4Id::of(bytesOf(kData + "0001_TEST01_2019-10-11_155603.mhl")),
        "c453UjZqdJ3ivPKtHLxvkF2HBH7k5bnzb8kvqMn5EBe6qsdr6okuNCNFaesFKJX3dKH9xRBkaDsXqpFVw3xNniLE6f");
    QTemporaryDir empty;
    const ProcessResult none = cli({ "verify", empty.path() });
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err.count('\n'), 1) << none.err.toStdString();
}

} // namespace
