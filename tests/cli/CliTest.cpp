#include "CliProcess.h"

#include "support/BinWriter.h"
#include "support/MXFWriter.h"
#include "support/MdbWriter.h"

#include <QRegularExpression>

#include <numeric>

// A generated volume, with what a scan of it must show.
class CliVolume : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        root = files.path() + "/vol";
        ASSERT_TRUE(makeVolume(root, { "--seed", QString::number(GetParam()), "--copies", "0.2" }));
        expected = QJsonDocument::fromJson(bytesOf(root + "/expected.json")).object();
        ASSERT_FALSE(expected.isEmpty());
    }

    QSet<QString> shownPaths(const QStringList &options)
    {
        const ProcessResult result
            = cli(QStringList { "scan", "--volume", root, "--format", "json", "--columns", "path" } + options);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        QSet<QString> paths;
        for (const QJsonObject &row : jsonLines(result.out))
            paths.insert(row.value("path").toString());
        return paths;
    }

    QString bin(int number) const { return root + QStringLiteral("/Bins/Bin %1.avb").arg(number); }

    /// Paths of the existing items that the bins reference, or that they do not (all of them
    /// for no bins).
    QSet<QString> expectedPaths(const QStringList &bins = {}, bool referenced = false) const
    {
        QSet<QString> uids, paths;
        for (const QString &b : bins)
            for (const QJsonValue &uid : expected.value("bins").toObject().value(b).toArray())
                uids.insert(uid.toString());
        for (const QJsonValue &value : expected.value("items").toArray()) {
            const QJsonObject item = value.toObject();
            if (item.value("exists").toBool() && uids.contains(item.value("uid").toString()) == referenced)
                paths.insert(item.value("path").toString());
        }
        return paths;
    }

    TestFiles files;
    QString root;
    QJsonObject expected;
};

TEST_P(CliVolume, ScanShowsEveryExistingItemAndBinOperationsFollowTheBins)
{
    EXPECT_EQ(shownPaths({}), expectedPaths());
    // One bin per option, commas and all; a folder stands for its bins, searched
    // recursively by --bins-from.
    const QString comma = root + "/Bins/Cut, v2.avb";
    ASSERT_TRUE(QFile::copy(bin(2), comma));
    const QStringList all { bin(1), bin(2), bin(3) };
    EXPECT_EQ(shownPaths({ "--intersect", bin(1) }), expectedPaths({ bin(1) }, true));
    EXPECT_EQ(shownPaths({ "--subtract", bin(1), "--subtract", comma }), expectedPaths({ bin(1), bin(2) }));
    EXPECT_EQ(shownPaths({ "--unused", "--bins-from", root }), expectedPaths(all));
    EXPECT_EQ(shownPaths({ "--intersect", root + "/Bins" }), expectedPaths(all, true));
    EXPECT_EQ(shownPaths({ "--intersect", bin(1), "--add", bin(3) }), expectedPaths({ bin(1), bin(3) }, true));
}

namespace {

// Every file below the folder with its size and first 64 KiB: whole for fixture files,
// and generated volumes hold large sparse media files.
QMap<QString, QByteArray> contentsBelow(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    for (const QString &path : filesBelow(folder)) {
        QFile file(path);
        const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(1 << 16) : QByteArray("unreadable");
        contents.insert(path, QByteArray::number(file.size()) + ':' + head);
    }
    return contents;
}

} // namespace

TEST_P(CliVolume, MoveDryRunPrintsEachTargetAndChangesNothing)
{
    const QString dest = files.path() + "/dest";
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
        if (line.endsWith(" too)"))
            sources << line.section(": would fail (", 0, 0);
        // The index files that new target folders receive.
        const bool isIndex = line.startsWith("writes ");
        EXPECT_TRUE(!isIndex || targetFolders.contains(QFileInfo(line.mid(7).section(" (a copy", 0, 0)).path()))
            << line.toStdString();
        itemLines += !isIndex && !line.startsWith("Would ");
    }
    EXPECT_EQ(itemLines, sources.size()) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("\nWould move %1 files, ").arg(targets.size())));
    EXPECT_EQ(QSet<QString>(sources.begin(), sources.end()), shownPaths({}));
    EXPECT_EQ(contentsBelow(root), before);
    EXPECT_TRUE(contentsBelow(dest).isEmpty());
}

// The README's jq one-liners on the rows of media no bin uses, against stat's sizes;
// and the CSV sizes in bytes, under an older column name, against the same.
TEST_P(CliVolume, ReadmeJqOneLinersAgreeWithStatToTheByte)
{
    const QStringList oneLiners
        = QString::fromUtf8(bytesOf(VESK_SOURCE_DIR "/README.md")).split(QLatin1Char('\n')).filter("| jq ");
    ASSERT_EQ(oneLiners.size(), 2);
    const QStringList bins = expected.value("bins").toObject().keys();
    QStringList scan { "scan", "--volume", root, "--format", "json" };
    for (const QString &b : bins)
        scan << "--subtract" << b;
    const ProcessResult rows = cli(scan);
    const auto jq = [&rows](const QString &oneLiner) {
        const ProcessResult ran = run("sh", { "-c", "jq " + oneLiner.section("| jq ", 1) }, rows.rawOut);
        EXPECT_EQ(ran.status, 0) << oneLiner.toStdString() << ran.err.toStdString();
        return ran.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    QMap<QString, qint64> byStat, byJq;
    for (const QJsonObject &row : jsonLines(rows.out))
        byStat[row.value("project").toString()] += QFileInfo(row.value("path").toString()).size();
    for (const QString &line : jq(oneLiners[0]))
        byJq[line.section(QLatin1Char('\t'), 0, 0)] = line.section(QLatin1Char('\t'), 1).toLongLong();
    EXPECT_EQ(byJq, byStat);
    const QStringList paths = jq(oneLiners[1]);
    EXPECT_EQ(QSet<QString>(paths.begin(), paths.end()), expectedPaths(bins));
    qint64 difference = 0;
    for (const QString &path : expectedPaths())
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
        usage << "--bins" << b;
    }
    QMap<QString, QString> uidOfFile; // the list names some copies twice
    for (const QJsonValue &value : expected.value("items").toArray())
        if (const QJsonObject item = value.toObject(); item.value("exists").toBool())
            uidOfFile.insert(item.value("path").toString(), item.value("uid").toString());
    QMultiMap<QString, qint64> sizesOfUID;
    for (auto file = uidOfFile.begin(); file != uidOfFile.end(); ++file)
        sizesOfUID.insert(file.value(), QFileInfo(file.key()).size());
    const ProcessResult rows = cli({ "scan", "--volume", root, "--format", "json", "--columns", "path,bins",
        "--intersect", given[0], "--subtract", given[1], "--add", given[2], "--add", given[0], "--sort", "bins" });
    ASSERT_FALSE(rows.out.isEmpty()) << rows.err.toStdString();
    QString previous;
    for (const QJsonObject &row : jsonLines(rows.out)) {
        const QString names = row.value("bins").toVariant().toStringList().join(", ");
        EXPECT_LE(previous.compare(names, Qt::CaseInsensitive), 0) << names.toStdString();
        previous = names;
        QJsonArray bins;
        for (qsizetype b = 0; b < given.size(); ++b)
            if (references[b].contains(uidOfFile.value(row.value("path").toString())))
                bins.append(QFileInfo(given[b]).completeBaseName());
        EXPECT_EQ(row.value("bins").toArray(), bins) << row.value("path").toString().toStdString();
    }
    const QList<QJsonObject> lines = jsonLines(cli(usage).out);
    ASSERT_EQ(lines.size(), given.size() + 1);
    references.push_back(references[0] + references[1] + references[2]);
    for (qsizetype b = 0; b < lines.size(); ++b) {
        qint64 found = 0, foundSize = 0;
        QStringList offline;
        for (const QString &uid : references[b]) {
            const QList<qint64> sizes = sizesOfUID.values(uid);
            found += !sizes.isEmpty();
            foundSize += std::accumulate(sizes.begin(), sizes.end(), 0LL);
            if (sizes.isEmpty())
                offline << uid;
        }
        offline.sort();
        const QJsonObject expectedRow { { "bin", b < given.size() ? given[b] : "*" },
            { "references", references[b].size() }, { "found", found }, { "foundSize", foundSize },
            { "offline", QJsonArray::fromStringList(offline) } };
        EXPECT_EQ(QJsonDocument(lines[b]).toJson().toStdString(), QJsonDocument(expectedRow).toJson().toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, CliVolume, ::testing::Values(1, 2, 7));

// A bin that cannot be read, is no bin or is damaged stops every command before it scans;
// one without references, or a folder without bins, stops the actions unless they are
// told to go on. Delete (and move) with standard input piped need --yes, copy (and
// move) a destination.
TEST(CliBins, BinsThatCannotProtectAreRefusedAndNothingIsTouched)
{
    TestFiles files;
    const QString root = files.path() + "/vol";
    ASSERT_TRUE(makeVolume(root, { "--mxf", "--folders", "1" }));
    const QString sound = root + "/Bins/Bin 1.avb|";
    const QByteArray noise = QByteArray::fromHex("9f3a5c7e11d2e48b6a0c3f5e7a9b1d2c4e6f8a0b");
    const QString cut = files.write("cut.avb", BinWriter().clip("A", {}).bytes().chopped(5));
    const QString random = files.write("random.avb", BinWriter::header() + noise);
    const QString notABin = files.write("noise.avb", noise);
    const QString empty = files.write("empty.avb", BinWriter().clip("A", {}).bytes());
    const QString noBins = files.path() + "/vol/Avid MediaFiles";
    const struct {
        QString arguments; // separated by '|'
        int status;
        QString named;
    } cases[] = {
        { "scan|--subtract|" + cut, 2, cut },
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
    EXPECT_FALSE(none.out.contains(" -> ")) << none.out.toStdString();
}

TEST(Cli, UsageErrorsAndUnreadableInputs)
{
    EXPECT_EQ(cli({}).status, 2);
    EXPECT_EQ(cli({ "frobnicate" }).status, 2);
    EXPECT_EQ(cli({ "scan" }).status, 2);
    const ProcessResult badSort = cli({ "scan", "--sort", "nosuchkey", "/tmp" });
    EXPECT_EQ(badSort.status, 2);
    EXPECT_TRUE(badSort.err.contains("usage: "));
    const ProcessResult missing = cli({ "scan", "/no/such/folder" });
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(cli({ "--version" }).out.trimmed(), "vesk-cli " + QStringLiteral(VESK_VERSION));
}

// Every command's help, the same from "help COMMAND", has examples that run on a volume
// laid out as they expect, and every option it lists is in the manual page and in each
// shell's completions.
TEST(Cli, HelpExamplesRunAndEveryOptionIsDocumented)
{
    TestFiles files;
    const QString root = files.path() + "/avid";
    ASSERT_TRUE(makeVolume(root, { "--mxf", "--folders", "2", "--copies", "0" }));
    ASSERT_TRUE(QDir().mkpath(root + "/Avid Projects") && QDir().rename(root + "/Bins", root + "/Avid Projects/Film")
        && QDir().mkpath(files.path() + "/archive"));
    trashInside(files.path());
    // How each document names an option; the manual page escapes its hyphens.
    QMap<QString, QString> documents
        = { { "man", "\\-\\-%1" }, { "bash", " --%1" }, { "zsh", "'*--%1" }, { "fish", "-l %1 " } };
    QMap<QString, QString> generated;
    for (const QString &kind : documents.keys())
        generated[kind] = cli({ "--generate", kind }).out;
    const QString programHelp = cli({ "--help" }).out;
    for (const QString &command :
        programHelp.section("Commands:\n", 1).section("\n\n", 0, 0).split(QLatin1Char('\n'))) {
        const QString name = command.simplified().section(QLatin1Char(' '), 0, 0);
        const ProcessResult help = cli({ name, "--help" });
        EXPECT_EQ(help.out, cli({ "help", name }).out);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: vesk-cli %1 [options] ").arg(name)));
        static const QRegularExpression option("^  --([a-z-]+)", QRegularExpression::MultilineOption);
        for (auto it = option.globalMatch(help.out); it.hasNext();) {
            const QString optionName = it.next().captured(1);
            for (auto document = documents.begin(); document != documents.end(); ++document) {
                const QString name = document.key() == QLatin1String("man")
                    ? QString(optionName).replace(QLatin1Char('-'), "\\-")
                    : optionName;
                EXPECT_TRUE(generated[document.key()].contains(document.value().arg(name)))
                    << document.key().toStdString() << " lacks --" << optionName.toStdString();
            }
        }
        const QStringList examples
            = help.out.section("Examples:\n", 1).split(QLatin1Char('\n')).filter(QRegularExpression("^  vesk-cli "));
        EXPECT_GE(examples.size(), 1) << name.toStdString();
        for (QString example : examples) {
            example.replace("/srv/", files.path() + QLatin1Char('/')).replace("vesk-cli", QStringLiteral(VESK_CLI));
            const ProcessResult ran = run("sh", { "-c", example });
            EXPECT_EQ(ran.status, 0) << example.toStdString() << ran.err.toStdString();
        }
    }
}

// The commands that read one file each print what they read, and fail on a file they
// cannot read.
TEST(Cli, BinMxfAndInspectPrintWhatTheyReadOrFail)
{
    TestFiles files;
    const QString path
        = files.write("a.avb", BinWriter().clip("c", { BinWriter::avidUID(0x04030201, 0x08070605) }).bytes());
    // A damaged bin's references are not printed as if they were all it holds.
    const QString notABin = files.write("x.avb", "nope");
    const QString damaged = files.write("cut.avb", BinWriter().clip("c", {}).bytes().chopped(1));
    const ProcessResult refused = cli({ "bin", notABin, path, damaged });
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "0102030405060708\n");
    EXPECT_TRUE(refused.err.contains("not a bin: " + notABin) && refused.err.contains("damaged bin: " + damaged));

    const QString atom = files.path() + "/a.mxf", op1a = files.path() + "/b.mxf";
    ASSERT_TRUE(MXFWriter::writeOpAtom(atom, { "Interview", "Doc", {}, {} }));
    ASSERT_TRUE(MXFWriter::writeOP1a(op1a, { "X", {}, {}, {} }));
    // Nothing could be read from op1a, and none.mxf is not there.
    const ProcessResult mxf = cli({ "mxf", atom, op1a, files.path() + "/none.mxf" });
    EXPECT_EQ(mxf.status, 1) << mxf.err.toStdString();
    EXPECT_TRUE(mxf.err.contains("cannot read " + files.path() + "/none.mxf")) << mxf.err.toStdString();
    const QList<QJsonObject> lines = jsonLines(mxf.out);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].value("clipName").toString() + lines[0].value("project").toString(), "InterviewDoc");
    EXPECT_TRUE(lines[0].value("fileUID").toString().startsWith("{ 060a2b34-"));
    EXPECT_EQ(lines[1].value("error").toString(), "File is not OP-Atom");
    EXPECT_EQ(lines[2].value("error").toString(), "cannot open the file");

    const QString mdb = files.path() + "/msmMMOB.mdb";
    ASSERT_TRUE(MdbWriter().media(MdbMedia::numbered(1, "Clip", "Show")).writeTo(mdb));
    const ProcessResult tree = cli({ "inspect", mdb, "--depth", "2" });
    EXPECT_EQ(tree.status, 0);
    const QStringList outline = tree.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(outline.size(), 3);
    EXPECT_TRUE(outline[1].startsWith("  ["));
    EXPECT_TRUE(std::all_of(outline.begin(), outline.end(), [](const QString &l) { return !l.startsWith("      "); }));
    EXPECT_TRUE(cli({ "inspect", mdb, "--describe", "0" }).out.startsWith("OMFI:Object TOCIndex [ 0 ]"));
    EXPECT_EQ(cli({ "inspect", files.write("x.mdb", "not a database") }).status, 1);
}

namespace {

// Field types: i integer, b boolean, s text, d ISO 8601 UTC date; '?' allows null.
bool hasType(const QJsonValue &value, const QString &type)
{
    static const QRegularExpression date("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$");
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
    const QString root = files.path() + "/vol";
    ASSERT_TRUE(makeVolume(root, { "--mxf", "--folders", "1", "--files", "6" }));
    const QString folder = root + "/Avid MediaFiles/MXF/1/";
    const QString mxf = folder + QDir(folder).entryList({ "*.mxf" }).value(0);
    const QString mdb = folder + "msmMMOB.mdb";
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
        qputenv("LC_ALL", "de_DE.UTF-8");
        const QString localized = cli(c.arguments).out;
        qputenv("LC_ALL", "C");
        const ProcessResult result = cli(c.arguments);
        EXPECT_EQ(result.status, 0) << c.arguments.join(' ').toStdString() << result.err.toStdString();
        EXPECT_EQ(result.out, localized) << c.arguments.join(' ').toStdString();
        QMap<QString, QString> types;
        for (const QString &field : c.fields.split(QLatin1Char(' ')))
            types.insert(field.section(QLatin1Char(':'), 0, 0), field.section(QLatin1Char(':'), 1));
        QSet<QString> given; // fields with a value on some line: a typed field never null is no test
        for (const QJsonObject &object : jsonLines(result.out)) {
            const std::string line = QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
            EXPECT_EQ(object.keys(), types.keys()) << line; // both sorted
            for (auto field = types.begin(); field != types.end(); ++field) {
                EXPECT_TRUE(hasType(object.value(field.key()), field.value()))
                    << field.key().toStdString() << " in " << line;
                if (!object.value(field.key()).isNull())
                    given.insert(field.key());
            }
        }
        for (auto field = types.begin(); field != types.end(); ++field)
            EXPECT_TRUE(given.contains(field.key()) || field.value() == QLatin1String("s?"))
                << field.key().toStdString() << " never given by " << c.arguments.join(' ').toStdString();
    }
    qunsetenv("LC_ALL");
    EXPECT_EQ(cli({ "scan", "--volume", root, "--search", "no such clip", "--fail-empty" }).status, 3);
}
