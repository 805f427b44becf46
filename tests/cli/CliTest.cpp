#include "support/BinWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

namespace {

struct ProcessResult {
    int status;
    QString out;
    QString err;
};

ProcessResult run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

ProcessResult cli(const QStringList &arguments)
{
    return run(QStringLiteral(VESK_CLI), arguments);
}

} // namespace

// A generated volume, with what a scan of it must show.
class CliVolume : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        root = files.path() + QStringLiteral("/vol");
        const ProcessResult made = run(QStringLiteral(VESK_MKVOLUME),
                             {root, QStringLiteral("--seed"), QString::number(GetParam()), QStringLiteral("--copies"),
                              QStringLiteral("0.2")});
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
        QFile file(root + QStringLiteral("/expected.json"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        expected = QJsonDocument::fromJson(file.readAll()).object();
    }

    QSet<QString> shownPaths(const QStringList &options)
    {
        const ProcessResult result = cli(QStringList{QStringLiteral("scan"), QStringLiteral("--volume"), root,
                                           QStringLiteral("--format"), QStringLiteral("json"),
                                           QStringLiteral("--columns"), QStringLiteral("PathCellID")}
                               + options);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        QSet<QString> paths;
        for (const QString &line : result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            paths.insert(QJsonDocument::fromJson(line.toUtf8()).object().value(QStringLiteral("PathCellID")).toString());
        return paths;
    }

    QString bin(int number) const { return root + QStringLiteral("/Bins/Bin %1.avb").arg(number); }

    /// Paths of the existing items, optionally only those a bin references or not.
    QSet<QString> expectedPaths(const std::function<bool(const QString &uid)> &keep) const
    {
        QSet<QString> paths;
        for (const QJsonValue &value : expected.value(QStringLiteral("items")).toArray()) {
            const QJsonObject item = value.toObject();
            if (item.value(QStringLiteral("exists")).toBool() && keep(item.value(QStringLiteral("uid")).toString()))
                paths.insert(item.value(QStringLiteral("path")).toString());
        }
        return paths;
    }

    std::function<bool(const QString &)> referencedBy(const QStringList &bins, bool referenced = true) const
    {
        QSet<QString> uids;
        for (const QString &b : bins)
            for (const QJsonValue &uid : expected.value(QStringLiteral("bins")).toObject().value(b).toArray())
                uids.insert(uid.toString());
        return [uids, referenced](const QString &uid) { return uids.contains(uid) == referenced; };
    }

    TestFiles files;
    QString root;
    QJsonObject expected;
};

TEST_P(CliVolume, ScanShowsEveryExistingItem)
{
    EXPECT_EQ(shownPaths({}), expectedPaths([](const QString &) { return true; }));
}

TEST_P(CliVolume, IntersectSubtractAndAddFollowTheBins)
{
    EXPECT_EQ(shownPaths({QStringLiteral("--intersect"), bin(1)}), expectedPaths(referencedBy({bin(1)})));
    EXPECT_EQ(shownPaths({QStringLiteral("--subtract"), bin(1) + QLatin1Char(',') + bin(2)}),
              expectedPaths(referencedBy({bin(1), bin(2)}, false)));
    EXPECT_EQ(shownPaths({QStringLiteral("--intersect"), bin(1), QStringLiteral("--add"), bin(3)}),
              expectedPaths(referencedBy({bin(1), bin(3)})));
}

TEST_P(CliVolume, EmptyAndUnreadableBins)
{
    const QString empty = files.path() + QStringLiteral("/empty.avb");
    BinWriter().creator("test").write(empty);
    // A bin without references gives nothing to match: the rows stay as they were.
    EXPECT_EQ(shownPaths({QStringLiteral("--intersect"), empty}), expectedPaths([](const QString &) { return true; }));
    const QString notABin = files.write(QStringLiteral("notes.avb"), "not a bin at all");
    EXPECT_EQ(shownPaths({QStringLiteral("--intersect"), notABin}), expectedPaths([](const QString &) { return true; }));
}

INSTANTIATE_TEST_SUITE_P(Seeds, CliVolume, ::testing::Values(1, 2, 7));

TEST(Cli, UsageErrorsAndUnreadableInputs)
{
    EXPECT_EQ(cli({}).status, 2);
    EXPECT_EQ(cli({QStringLiteral("frobnicate")}).status, 2);
    EXPECT_EQ(cli({QStringLiteral("scan")}).status, 2);
    const ProcessResult badSort = cli({QStringLiteral("scan"), QStringLiteral("--sort"), QStringLiteral("nosuchkey"),
                             QStringLiteral("/tmp")});
    EXPECT_EQ(badSort.status, 2);
    EXPECT_TRUE(badSort.err.contains(QStringLiteral("usage: ")));
    const ProcessResult missing = cli({QStringLiteral("scan"), QStringLiteral("/no/such/folder")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(cli({QStringLiteral("--version")}).out.trimmed(), QStringLiteral("vesk-cli ") + QStringLiteral(VESK_VERSION));
    for (const char *command : {"scan", "bin"})
        EXPECT_EQ(cli({QString::fromLatin1(command), QStringLiteral("--help")}).status, 0) << command;
}

TEST(Cli, BinPrintsReferencedUIDs)
{
    TestFiles files;
    const QString path = files.path() + QStringLiteral("/a.avb");
    BinWriter().clip("c", {BinWriter::avidUID(0x04030201, 0x08070605)}).write(path);
    const ProcessResult result = cli({QStringLiteral("bin"), path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, QStringLiteral("0102030405060708\n"));
    const QString notABin = files.write(QStringLiteral("x.avb"), "nope");
    const ProcessResult refused = cli({QStringLiteral("bin"), notABin});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(notABin));
}
