#include "CliProcess.h"

#include "support/BinWriter.h"
#include "support/MXFWriter.h"
#include "support/MdbWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <numeric>

// A generated volume, with what a scan of it must show.
class CliVolume : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        root = files.path() + QStringLiteral("/vol");
        const ProcessResult made = run(QStringLiteral(VESK_MKVOLUME),
            { root, QStringLiteral("--seed"), QString::number(GetParam()), QStringLiteral("--copies"),
                QStringLiteral("0.2") });
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
        QFile file(root + QStringLiteral("/expected.json"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        expected = QJsonDocument::fromJson(file.readAll()).object();
    }

    QSet<QString> shownPaths(const QStringList &options)
    {
        const ProcessResult result
            = cli(QStringList { "scan", "--volume", root, "--format", "json", "--columns", "path" } + options);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        QSet<QString> paths;
        for (const QString &line : result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            paths.insert(QJsonDocument::fromJson(line.toUtf8()).object().value(QStringLiteral("path")).toString());
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

TEST_P(CliVolume, ScanShowsEveryExistingItemAndBinOperationsFollowTheBins)
{
    EXPECT_EQ(shownPaths({}), expectedPaths([](const QString &) { return true; }));
    // One bin per option, commas and all; a folder stands for its bins, searched
    // recursively by --bins-from.
    const QString comma = root + QStringLiteral("/Bins/Cut, v2.avb");
    ASSERT_TRUE(QFile::copy(bin(2), comma));
    EXPECT_EQ(shownPaths({ QStringLiteral("--intersect"), bin(1) }), expectedPaths(referencedBy({ bin(1) })));
    EXPECT_EQ(shownPaths({ QStringLiteral("--subtract"), bin(1), QStringLiteral("--subtract"), comma }),
        expectedPaths(referencedBy({ bin(1), bin(2) }, false)));
    EXPECT_EQ(shownPaths({ QStringLiteral("--unused"), QStringLiteral("--bins-from"), root }),
        expectedPaths(referencedBy({ bin(1), bin(2), bin(3) }, false)));
    EXPECT_EQ(shownPaths({ QStringLiteral("--intersect"), root + QStringLiteral("/Bins") }),
        expectedPaths(referencedBy({ bin(1), bin(2), bin(3) })));
    EXPECT_EQ(shownPaths({ QStringLiteral("--intersect"), bin(1), QStringLiteral("--add"), bin(3) }),
        expectedPaths(referencedBy({ bin(1), bin(3) })));
}

namespace {

/// The plan a dry run prints: source -> target for each row that would be acted on.
QMap<QString, QString> dryRunTargets(const QString &out)
{
    QMap<QString, QString> targets;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(QStringLiteral(" -> "));
        if (parts.size() == 2)
            targets.insert(parts[0], parts[1]);
    }
    return targets;
}

// Every file below the folder with its size and first 64 KiB: whole for fixture files,
// and generated volumes hold large sparse media files.
QMap<QString, QByteArray> contentsBelow(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(1 << 16) : QByteArray("unreadable");
        contents.insert(file.fileName(), QByteArray::number(file.size()) + ':' + head);
    }
    return contents;
}

} // namespace

TEST_P(CliVolume, MoveDryRunPrintsEachTargetAndChangesNothing)
{
    const QString dest = files.path() + QStringLiteral("/dest");
    QDir().mkpath(dest);
    const QMap<QString, QByteArray> before = contentsBelow(root);
    const ProcessResult result = cli({ "move", "--dry-run", "--volume", root, "--dest", dest });
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QMap<QString, QString> targets = dryRunTargets(result.out);
    // Copies of one file in several folders share a target: all but the first would fail.
    QStringList sources = targets.keys();
    QSet<QString> targetFolders;
    for (const QString &target : targets)
        targetFolders.insert(QFileInfo(target).path());
    qsizetype itemLines = 0;
    for (const QString &line : result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.endsWith(QStringLiteral(" too)")))
            sources << line.section(QStringLiteral(": would fail ("), 0, 0);
        // The index files that new target folders receive.
        const bool isIndex = line.startsWith(QStringLiteral("writes "));
        if (isIndex) {
            EXPECT_TRUE(
                targetFolders.contains(QFileInfo(line.mid(7).section(QStringLiteral(" (a copy"), 0, 0)).path()));
        }
        itemLines += !isIndex && !line.startsWith(QStringLiteral("Would "));
    }
    EXPECT_EQ(itemLines, sources.size()) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("\nWould move %1 files, ").arg(targets.size())));
    EXPECT_EQ(QSet<QString>(sources.begin(), sources.end()), shownPaths({}));
    for (auto it = targets.begin(); it != targets.end(); ++it) {
        // destination / project / file type / file name
        const QFileInfo source(it.key());
        const QString type = source.suffix().isEmpty() ? QStringLiteral("_NOEXT_TYPE") : source.suffix().toUpper();
        EXPECT_TRUE(it.value().startsWith(dest + QLatin1Char('/'))
            && it.value().endsWith(QLatin1Char('/') + type + QLatin1Char('/') + source.fileName()))
            << it.value().toStdString();
    }
    EXPECT_EQ(contentsBelow(root), before);
    EXPECT_TRUE(contentsBelow(dest).isEmpty());
}

// The README's jq one-liners on the rows of media no bin uses, against stat's sizes;
// and the CSV sizes in bytes, under an older column name, against the same.
TEST_P(CliVolume, ReadmeJqOneLinersAgreeWithStatToTheByte)
{
    QFile readme(QStringLiteral(VESK_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QStringList oneLiners = QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n')).filter("| jq ");
    ASSERT_EQ(oneLiners.size(), 2);
    const QStringList bins = expected.value(QStringLiteral("bins")).toObject().keys();
    QStringList scan { "scan", "--volume", root, "--format", "json" };
    for (const QString &b : bins)
        scan << QStringLiteral("--subtract") << b;
    const ProcessResult rows = cli(scan);
    const auto jq = [&rows](const QString &oneLiner) {
        QProcess process;
        process.start(QStringLiteral("sh"), { QStringLiteral("-c"), "jq " + oneLiner.section("| jq ", 1) });
        process.write(rows.rawOut);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000) && process.exitCode() == 0) << oneLiner.toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    QMap<QString, qint64> byStat, byJq;
    for (const QString &line : rows.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject row = QJsonDocument::fromJson(line.toUtf8()).object();
        byStat[row.value("project").toString()] += QFileInfo(row.value("path").toString()).size();
    }
    for (const QString &line : jq(oneLiners[0]))
        byJq[line.section(QLatin1Char('\t'), 0, 0)] = line.section(QLatin1Char('\t'), 1).toLongLong();
    EXPECT_EQ(byJq, byStat);
    const QStringList paths = jq(oneLiners[1]);
    EXPECT_EQ(QSet<QString>(paths.begin(), paths.end()), expectedPaths(referencedBy(bins, false)));
    qint64 difference = 0;
    for (const QString &path : expectedPaths([](const QString &) { return true; }))
        difference -= QFileInfo(path).size();
    for (const QString &line : cli(scan.mid(0, 3) + QStringList { "--bytes", "--columns", "filesize" }).out.split('\n'))
        difference += line.mid(1, line.size() - 2).toLongLong(); // "size", no separator after it
    EXPECT_EQ(difference, 0);
}

// The bins of each row and the usage report against the bins as `vesk-cli bin` reads
// them and the volume's own list of items: bins in the order given, references found
// when an existing file has their UID, sizes as stat gives them.
TEST_P(CliVolume, BinsColumnAndUsageAgreeWithTheBinsReadOneByOne)
{
    const QStringList given { bin(3), bin(1), bin(2) };
    QList<QSet<QString>> references;
    QStringList usage { "usage", "--volume", root, "--format", "json" };
    for (const QString &b : given) {
        const QStringList uids = cli({ "bin", b }).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        references.push_back(QSet<QString>(uids.begin(), uids.end()));
        usage << QStringLiteral("--bins") << b;
    }
    QMap<QString, QString> uidOfPath, uidOfFile; // the list names some copies twice
    for (const QJsonValue &value : expected.value(QStringLiteral("items")).toArray()) {
        const QJsonObject item = value.toObject();
        uidOfPath.insert(item.value("path").toString(), item.value("uid").toString());
        if (item.value("exists").toBool())
            uidOfFile.insert(item.value("path").toString(), item.value("uid").toString());
    }
    QMultiMap<QString, qint64> sizesOfUID;
    for (auto file = uidOfFile.begin(); file != uidOfFile.end(); ++file)
        sizesOfUID.insert(file.value(), QFileInfo(file.key()).size());
    const ProcessResult rows = cli({ "scan", "--volume", root, "--format", "json", "--columns", "path,bins",
        "--intersect", given[0], "--subtract", given[1], "--add", given[2], "--add", given[0], "--sort", "bins" });
    ASSERT_FALSE(rows.out.isEmpty()) << rows.err.toStdString();
    QString previous;
    for (const QString &line : rows.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject row = QJsonDocument::fromJson(line.toUtf8()).object();
        const QString names = row.value("bins").toVariant().toStringList().join(QStringLiteral(", "));
        EXPECT_LE(previous.compare(names, Qt::CaseInsensitive), 0) << line.toStdString();
        previous = names;
        QJsonArray bins;
        for (qsizetype b = 0; b < given.size(); ++b)
            if (references[b].contains(uidOfPath.value(row.value("path").toString())))
                bins.append(QFileInfo(given[b]).completeBaseName());
        EXPECT_EQ(row.value("bins").toArray(), bins) << line.toStdString();
    }
    const QStringList lines = cli(usage).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), given.size() + 1);
    references.push_back(references[0] + references[1] + references[2]);
    for (qsizetype b = 0; b < lines.size(); ++b) {
        QJsonObject expectedRow { { "bin", b < given.size() ? given[b] : QStringLiteral("*") },
            { "references", references[b].size() }, { "found", 0 }, { "foundSize", 0 } };
        QStringList offline;
        for (const QString &uid : references[b]) {
            const QList<qint64> sizes = sizesOfUID.values(uid);
            expectedRow["found"] = expectedRow["found"].toInt() + (sizes.isEmpty() ? 0 : 1);
            expectedRow["foundSize"]
                = expectedRow["foundSize"].toInteger() + std::accumulate(sizes.begin(), sizes.end(), 0LL);
            if (sizes.isEmpty())
                offline << uid;
        }
        const QJsonObject row = QJsonDocument::fromJson(lines[b].toUtf8()).object();
        offline.sort();
        expectedRow["offline"] = QJsonArray::fromStringList(offline);
        EXPECT_EQ(QJsonDocument(row).toJson().toStdString(), QJsonDocument(expectedRow).toJson().toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, CliVolume, ::testing::Values(1, 2, 7));

// A bin that cannot be read, is no bin or is damaged stops every command before it scans;
// one without references, or a folder without bins, stops the actions unless they are
// told to go on. Move and delete with standard input piped need --yes, copy and move
// a destination.
TEST(CliBins, BinsThatCannotProtectAreRefusedAndNothingIsTouched)
{
    TestFiles files;
    const QString root = files.path() + QStringLiteral("/vol");
    ASSERT_EQ(
        run(QStringLiteral(VESK_MKVOLUME), { root, QStringLiteral("--mxf"), QStringLiteral("--folders"), "1" }).status,
        0);
    const QString sound = root + QStringLiteral("/Bins/Bin 1.avb|");
    const QByteArray noise = QByteArray::fromHex("9f3a5c7e11d2e48b6a0c3f5e7a9b1d2c4e6f8a0b");
    const QString cut = files.write(QStringLiteral("cut.avb"), BinWriter().clip("A", {}).bytes().chopped(5));
    const QString random = files.write(QStringLiteral("random.avb"), BinWriter::header() + noise);
    const QString notABin = files.write(QStringLiteral("noise.avb"), noise);
    const QString empty = files.write(QStringLiteral("empty.avb"), BinWriter().clip("A", {}).bytes());
    const QString noBins = files.path() + QStringLiteral("/vol/Avid MediaFiles");
    const struct {
        QString arguments; // separated by '|'
        int status;
        QString named;
    } cases[] = {
        { "scan|--subtract|" + cut, 2, cut },
        { "scan|--subtract|" + random, 2, random },
        { "delete|--dry-run|--subtract|" + sound + "--subtract|" + cut, 2, cut },
        { "delete|--yes|--subtract|" + random, 2, random },
        { "delete|--yes|--intersect|" + notABin, 2, notABin },
        { "delete|--dry-run|--subtract=", 2, "--subtract needs a BIN" },
        { "scan|--subtract|" + empty, 0, empty + " references no media" },
        { "delete|--yes|--subtract|" + sound + "--subtract|" + empty, 2, "--allow-empty-bins" },
        { "delete|--dry-run|--allow-empty-bins|--subtract|" + empty, 0, empty },
        { "move|--dry-run|--dest|" + root + "|--unused|--bins-from|" + noBins, 2, noBins + " holds no bins" },
        { "delete|--dry-run|--unused", 2, "--bins-from" },
        { "delete|--subtract|" + sound.chopped(1), 2, "--yes" },
        { "move|--dest|" + files.path() + "|--subtract|" + sound.chopped(1), 2, "--yes" },
        { "copy", 2, "--dest DIR is needed" },
    };
    const QMap<QString, QByteArray> before = contentsBelow(files.path());
    for (const auto &c : cases) {
        const ProcessResult result = cli(c.arguments.split(QLatin1Char('|')) + QStringList { "--volume", root });
        EXPECT_EQ(result.status, c.status) << c.arguments.toStdString() << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.named)) << result.err.toStdString();
        EXPECT_EQ(contentsBelow(files.path()), before) << c.arguments.toStdString();
    }
    // Only what a bin without references uses is nothing.
    const ProcessResult none
        = cli({ "delete", "--dry-run", "--allow-empty-bins", "--intersect", empty, "--volume", root });
    EXPECT_EQ(none.status, 0);
    EXPECT_FALSE(none.out.contains(QStringLiteral(" -> "))) << none.out.toStdString();
}

// A volume of small real media files, so that copies stay cheap.
TEST(CliActions, CopyPutsEveryRowWhereTheDryRunSaid)
{
    TestFiles files;
    const QString root = files.path() + QStringLiteral("/vol");
    const QString dest = files.path() + QStringLiteral("/dest");
    ASSERT_EQ(run(QStringLiteral(VESK_MKVOLUME), { root, "--mxf", "--folders", "2", "--files", "10" }).status, 0);
    QDir().mkpath(dest);
    const QStringList options = { "--volume", root, "--dest", dest, "--original-folders" };
    const QMap<QString, QString> targets = dryRunTargets(cli(QStringList { "copy", "--dry-run" } + options).out);
    ASSERT_FALSE(targets.isEmpty());

    const ProcessResult copied = cli(QStringList { QStringLiteral("copy") } + options);
    EXPECT_EQ(copied.status, 0) << copied.err.toStdString();
    EXPECT_EQ(copied.out.count(QStringLiteral(" :: DONE ::\n")), targets.size()) << copied.out.toStdString();
    for (auto it = targets.begin(); it != targets.end(); ++it) {
        QFile source(it.key());
        QFile target(it.value());
        ASSERT_TRUE(source.open(QIODevice::ReadOnly) && target.open(QIODevice::ReadOnly)) << it.value().toStdString();
        EXPECT_EQ(source.readAll(), target.readAll());
        // Each target folder received its source folder's media index.
        EXPECT_TRUE(QFileInfo::exists(QFileInfo(it.value()).path() + QStringLiteral("/msmFMID.pmr")));
    }

    // Again: every target exists now, and without a terminal "ask" means no.
    const ProcessResult again = cli(QStringList { QStringLiteral("copy") } + options);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out.count(QStringLiteral(":: FILE EXISTS AT DESTINATION \n:: SKIPPING \n")), targets.size());
}

TEST(Cli, UsageErrorsAndUnreadableInputs)
{
    EXPECT_EQ(cli({}).status, 2);
    EXPECT_EQ(cli({ QStringLiteral("frobnicate") }).status, 2);
    EXPECT_EQ(cli({ QStringLiteral("scan") }).status, 2);
    const ProcessResult badSort = cli(
        { QStringLiteral("scan"), QStringLiteral("--sort"), QStringLiteral("nosuchkey"), QStringLiteral("/tmp") });
    EXPECT_EQ(badSort.status, 2);
    EXPECT_TRUE(badSort.err.contains(QStringLiteral("usage: ")));
    const ProcessResult missing = cli({ QStringLiteral("scan"), QStringLiteral("/no/such/folder") });
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(
        cli({ QStringLiteral("--version") }).out.trimmed(), QStringLiteral("vesk-cli ") + QStringLiteral(VESK_VERSION));
}

// Every command's help, the same from "help COMMAND", has examples that run on a volume
// laid out as they expect, and every option it lists is in the manual page and in each
// shell's completions.
TEST(Cli, HelpExamplesRunAndEveryOptionIsDocumented)
{
    TestFiles files;
    const QString root = files.path() + QStringLiteral("/avid");
    ASSERT_EQ(run(QStringLiteral(VESK_MKVOLUME),
                  { root, QStringLiteral("--mxf"), QStringLiteral("--folders"), "2", QStringLiteral("--copies"), "0" })
                  .status,
        0);
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/Avid Projects"))
        && QDir().rename(root + QStringLiteral("/Bins"), root + QStringLiteral("/Avid Projects/Film"))
        && QDir().mkpath(files.path() + QStringLiteral("/archive")));
    // The trash of files under a home folder is in its data folder: both in here.
    qputenv("HOME", QFile::encodeName(files.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(files.path() + QStringLiteral("/data")));
    // How each document names an option; the manual page escapes its hyphens.
    QMap<QString, QString> documents
        = { { "man", "\\-\\-%1" }, { "bash", " --%1" }, { "zsh", "'*--%1" }, { "fish", "-l %1 " } };
    QMap<QString, QString> generated;
    for (const QString &kind : documents.keys())
        generated[kind] = cli({ QStringLiteral("--generate"), kind }).out;
    const QString programHelp = cli({ QStringLiteral("--help") }).out;
    for (const QString &command : programHelp.section(QStringLiteral("Commands:\n"), 1)
                                      .section(QStringLiteral("\n\n"), 0, 0)
                                      .split(QLatin1Char('\n'))) {
        const QString name = command.simplified().section(QLatin1Char(' '), 0, 0);
        const ProcessResult help = cli({ name, QStringLiteral("--help") });
        EXPECT_EQ(help.out, cli({ QStringLiteral("help"), name }).out);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: vesk-cli %1 [options] ").arg(name)));
        static const QRegularExpression option(QStringLiteral("^  --([a-z-]+)"), QRegularExpression::MultilineOption);
        for (auto it = option.globalMatch(help.out); it.hasNext();) {
            const QString optionName = it.next().captured(1);
            for (auto document = documents.begin(); document != documents.end(); ++document) {
                const QString name = document.key() == QLatin1String("man")
                    ? QString(optionName).replace(QLatin1Char('-'), QStringLiteral("\\-"))
                    : optionName;
                EXPECT_TRUE(generated[document.key()].contains(document.value().arg(name)))
                    << document.key().toStdString() << " lacks --" << optionName.toStdString();
            }
        }
        const QStringList examples = help.out.section(QStringLiteral("Examples:\n"), 1)
                                         .split(QLatin1Char('\n'))
                                         .filter(QRegularExpression(QStringLiteral("^  vesk-cli ")));
        EXPECT_GE(examples.size(), 1) << name.toStdString();
        for (QString example : examples) {
            example.replace(QStringLiteral("/srv/"), files.path() + QLatin1Char('/'))
                .replace(QStringLiteral("vesk-cli"), QStringLiteral(VESK_CLI));
            const ProcessResult ran = run(QStringLiteral("sh"), { QStringLiteral("-c"), example });
            EXPECT_EQ(ran.status, 0) << example.toStdString() << ran.err.toStdString();
        }
    }
}

TEST(Cli, BinPrintsReferencedUIDs)
{
    TestFiles files;
    const QString path = files.path() + QStringLiteral("/a.avb");
    BinWriter().clip("c", { BinWriter::avidUID(0x04030201, 0x08070605) }).write(path);
    const ProcessResult result = cli({ QStringLiteral("bin"), path });
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, QStringLiteral("0102030405060708\n"));
    // A damaged bin's references are not printed as if they were all it holds.
    const QString notABin = files.write(QStringLiteral("x.avb"), "nope");
    const QString damaged = files.write(QStringLiteral("cut.avb"), BinWriter().clip("c", {}).bytes().chopped(1));
    const ProcessResult refused = cli({ QStringLiteral("bin"), notABin, path, damaged });
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, result.out);
    EXPECT_TRUE(refused.err.contains("not a bin: " + notABin) && refused.err.contains("damaged bin: " + damaged));
}

TEST(Cli, MxfReportsFieldsOrTheFailure)
{
    TestFiles files;
    const QString atom = files.path() + "/a.mxf", op1a = files.path() + "/b.mxf";
    ASSERT_TRUE(MXFWriter::writeOpAtom(atom, { "Interview", "Doc", {}, {} }));
    ASSERT_TRUE(MXFWriter::writeOP1a(op1a, { "X", {}, {}, {} }));
    const ProcessResult result = cli({ "mxf", atom, op1a });
    EXPECT_EQ(result.status, 1) << result.err.toStdString(); // nothing could be read from op1a
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first.value("clipName").toString() + first.value("project").toString(), "InterviewDoc");
    EXPECT_TRUE(first.value("fileUID").toString().startsWith("{ 060a2b34-"));
    EXPECT_EQ(QJsonDocument::fromJson(lines[1].toUtf8()).object().value("error").toString(), "File is not OP-Atom");
    EXPECT_EQ(cli({ "mxf", files.write("zeros.mxf", QByteArray(4096, '\0')) }).status, 1);
    EXPECT_EQ(cli({ "mxf", files.path() + "/none.mxf" }).status, 1);
}

TEST(Cli, InspectPrintsTheOutlineIndentedByLevel)
{
    TestFiles files;
    const QString mdb = files.path() + QStringLiteral("/msmMMOB.mdb");
    ASSERT_TRUE(MdbWriter().media(MdbMedia::numbered(1, "Clip", "Show")).writeTo(mdb));
    const ProcessResult tree = cli({ QStringLiteral("inspect"), mdb, QStringLiteral("--depth"), QStringLiteral("2") });
    EXPECT_EQ(tree.status, 0);
    const QStringList lines = tree.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("[ ID=0x1] CM_StdObjID_TOC"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("  [")));
    EXPECT_TRUE(std::all_of(
        lines.begin(), lines.end(), [](const QString &l) { return !l.startsWith(QStringLiteral("      ")); }));
    const ProcessResult entry
        = cli({ QStringLiteral("inspect"), mdb, QStringLiteral("--describe"), QStringLiteral("0") });
    EXPECT_TRUE(entry.out.startsWith(QStringLiteral("OMFI:Object TOCIndex [ 0 ]")));
    const QString text = files.write(QStringLiteral("x.mdb"), "not a database");
    EXPECT_EQ(cli({ QStringLiteral("inspect"), text }).status, 1);
}

namespace {

// Field types: i integer, b boolean, s text, d ISO 8601 UTC date; '?' allows null.
bool hasType(const QJsonValue &value, const QString &type)
{
    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"));
    if (value.isNull())
        return type.endsWith(QLatin1Char('?'));
    switch (type[0].toLatin1()) {
    case 'i': return value.isDouble() && double(value.toInteger()) == value.toDouble();
    case 'b': return value.isBool();
    case 'd': return date.match(value.toString()).hasMatch();
    case 'a': return value.isArray();
    default: return value.isString();
    }
}

} // namespace

// Every command that prints JSON, each line against its documented fields, in two
// locales that write dates and numbers differently: the output must not change.
TEST(CliJson, EveryLineHasTheDocumentedFieldsAndTypesInAnyLocale)
{
    TestFiles files;
    const QString root = files.path() + QStringLiteral("/vol");
    ASSERT_EQ(run(QStringLiteral(VESK_MKVOLUME), { root, "--mxf", "--folders", "1", "--files", "6" }).status, 0);
    const QString folder = root + QStringLiteral("/Avid MediaFiles/MXF/1/");
    const QString mxf = folder + QDir(folder).entryList({ QStringLiteral("*.mxf") }).value(0);
    const QString mdb = folder + QStringLiteral("msmMMOB.mdb");
    const char *const plan = "action:s source:s target:s? size:i? reason:s?";
    const struct {
        QStringList arguments;
        QString fields; // name:type ...
    } cases[] = {
        { { "scan", "--volume", root, "--format", "json" },
            "bins:a bits:i? clipName:s? compression:s? created:d? exists:b fileName:s fileUID:s frameRate:s? "
            "kind:s? materialUID:s path:s project:s referenced:b? sampleRate:s? size:i?" },
        { { "usage", "--volume", root, "--bins", root + "/Bins", "--format", "json" },
            "bin:s found:i foundSize:i offline:a references:i" },
        { { "scan", "--volume", root, "--format", "json", "--summary" }, "files:i project:s size:i" },
        { { "copy", "--volume", root, "--dry-run", "--format", "json", "--dest", files.path() }, plan },
        { { "delete", "--volume", root, "--dry-run", "--format", "json" }, plan },
        { { "mxf", mxf }, "clipName:s fileUID:s materialUID:s path:s project:s?" },
        { { "inspect", mdb, "--format", "json" }, "level:i name:s tocIndex:i?" },
        { { "inspect", mdb, "--format", "json", "--describe", "0" }, "text:s tocIndex:i" },
    };
    for (const auto &c : cases) {
        QString outputs[2];
        for (int i = 0; i < 2; ++i) {
            qputenv("LC_ALL", i == 0 ? "C" : "de_DE.UTF-8");
            const ProcessResult result = cli(c.arguments);
            EXPECT_EQ(result.status, 0) << c.arguments.join(' ').toStdString() << result.err.toStdString();
            outputs[i] = result.out;
        }
        qunsetenv("LC_ALL");
        EXPECT_EQ(outputs[0], outputs[1]) << c.arguments.join(' ').toStdString();
        QMap<QString, QString> types;
        for (const QString &field : c.fields.split(QLatin1Char(' ')))
            types.insert(field.section(QLatin1Char(':'), 0, 0), field.section(QLatin1Char(':'), 1));
        QSet<QString> given; // fields with a value on some line: a typed field never null is no test
        for (const QString &line : outputs[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            EXPECT_EQ(object.keys(), types.keys()) << line.toStdString(); // both sorted
            for (auto field = types.begin(); field != types.end(); ++field) {
                EXPECT_TRUE(hasType(object.value(field.key()), field.value()))
                    << field.key().toStdString() << " in " << line.toStdString();
                if (!object.value(field.key()).isNull())
                    given.insert(field.key());
            }
        }
        for (auto field = types.begin(); field != types.end(); ++field)
            EXPECT_TRUE(given.contains(field.key()) || field.value() == QLatin1String("s?"))
                << field.key().toStdString() << " never given by " << c.arguments.join(' ').toStdString();
    }
    EXPECT_EQ(cli({ "scan", "--volume", root, "--search", "no such clip", "--fail-empty" }).status, 3);
}
