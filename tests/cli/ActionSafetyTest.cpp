// Crafted volumes through vesk-cli copy, move and delete: after each case the bytes of
// every file named are what the case says (or the file is absent), the exit status
// tells failure from success, and nothing is left half-made.

#include "CliProcess.h"

#include "support/MediaIndexWriter.h"
#include "support/WaitFor.h"

#include <QElapsedTimer>

#include <csignal>
#include <functional>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class Safety;

namespace {

const QByteArray kAbsent;

struct SafetyCase {
    const char *name;
    std::function<void(Safety &)> arrange;
    QStringList arguments;
    int status;
    std::map<QString, QByteArray> after;
    const char *says;
};

QStringList temporaryFilesBelow(const QString &folder)
{
    return filesBelow(folder, { ".vesk-copy-*" });
}

} // namespace

class Safety : public ::testing::TestWithParam<SafetyCase> {
public:
    void SetUp() override { QDir().mkpath(path("dest")); }
    /// A media folder of volume A with the files, its index listing them.
    QString folder(int number) const { return path(QStringLiteral("A/Avid MediaFiles/MXF/%1").arg(number)); }
    void media(int number, const std::map<QByteArray, QByteArray> &files)
    {
        MediaIndexWriter index;
        for (const auto &[name, bytes] : files) {
            index.record(name, "Show");
            ASSERT_TRUE(TestFiles::writeFile(folder(number) + '/' + QString::fromUtf8(name), bytes));
        }
        ASSERT_TRUE(index.writeTo(folder(number) + "/msmFMID.pmr"));
    }
    QString path(const QString &relative) const { return files_.path() + QLatin1Char('/') + relative; }
    void mountOn(const QString &relative, const char *type, const QString &source, const char *options = nullptr)
    {
        QDir().mkpath(path(relative));
        const QByteArray from = QFile::encodeName(source), to = QFile::encodeName(path(relative));
        if (geteuid() != 0 || mount(from.constData(), to.constData(), type, type ? 0 : MS_BIND, options) != 0)
            GTEST_SKIP() << "cannot mount here";
        mounts.push_back(path(relative));
    }
    void asNobody()
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to change identity";
        runAs = { "/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" };
        QProcess::execute("chmod", { "-R", "a+rwX", files_.path() });
    }

    /// Starts vesk-cli; an argument starting with '@' is a path below the test's folder.
    QProcess *start(const QStringList &arguments)
    {
        QStringList command = runAs + QStringList { QStringLiteral(VESK_CLI) };
        for (const QString &argument : arguments)
            command << (argument.startsWith(QLatin1Char('@')) ? path(argument.mid(1)) : argument);
        auto *process = new QProcess;
        process->start(command.first(), command.mid(1));
        return process;
    }

    void TearDown() override
    {
        for (const QString &mounted : mounts)
            umount2(QFile::encodeName(mounted).constData(), MNT_DETACH);
    }

    TestFiles files_;
    QStringList mounts;
    QStringList runAs;
};

TEST_P(Safety, BytesAndStatusAreAsExpected)
{
    const SafetyCase &c = GetParam();
    c.arrange(*this);
    if (IsSkipped() || HasFatalFailure())
        return;
    const std::unique_ptr<QProcess> process(start(c.arguments));
    ASSERT_TRUE(process->waitForFinished(60000)) << "vesk-cli did not end";
    const QString out = QString::fromUtf8(process->readAllStandardOutput());
    const QString err = QString::fromUtf8(process->readAllStandardError());
    EXPECT_EQ(process->exitCode(), c.status) << out.toStdString() << err.toStdString();
    EXPECT_TRUE(out.contains(QString::fromUtf8(c.says))) << out.toStdString();
    // Piped, success says nothing on standard error, and no progress line is drawn.
    EXPECT_FALSE(err.contains("completed") || err.contains(QLatin1Char('\r'))) << err.toStdString();
    for (const auto &[relative, bytes] : c.after) {
        const QFileInfo file(path(relative));
        EXPECT_TRUE(bytes.isNull() ? !file.exists() && !file.isSymLink() : bytesOf(file.filePath()) == bytes)
            << relative.toStdString();
    }
    EXPECT_TRUE(temporaryFilesBelow(files_.path()).isEmpty());
}

namespace {

const QString kA1 = "A/Avid MediaFiles/MXF/1/";
const QStringList kFlat = { "--no-mxf", "--no-projects", "--no-types", "--sort", "path" };

QStringList flat(const QString &command, const QStringList &more = {})
{
    const QStringList confirmed = command == QLatin1String("move") ? QStringList { "--yes" } : QStringList {};
    return QStringList { command, "--volume", "@A", "--dest", "@dest" } + kFlat + confirmed + more;
}

} // namespace

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cli, Safety, ::testing::Values(
    SafetyCase { "SameNameFromTwoFoldersIsNotWrittenTwice",
        [](Safety &s) {
            s.media(1, { { "a.mxf", "one" } });
            s.media(2, { { "a.mxf", "two" } });
        },
        flat("move", { "--overwrite", "yes" }), 1,
        { { "dest/a.mxf", "one" }, { "A/Avid MediaFiles/MXF/2/a.mxf", "two" } }, "moved 1, skipped 0, failed 1" },
    SafetyCase { "HardLinkedTargetIsTheSameFile",
        [](Safety &s) {
            s.media(1, { { "a.mxf", "one" } });
            link(QFile::encodeName(s.folder(1) + "/a.mxf").constData(),
                QFile::encodeName(s.path("dest/a.mxf")).constData());
        },
        flat("move", { "--overwrite", "yes" }), 0,
        { { "dest/a.mxf", "one" }, { kA1 + "a.mxf", "one" } }, "source and target are the same file" },
    SafetyCase { "BindMountOfTheSourceIsItsOwnFolder",
        [](Safety &s) {
            s.media(1, { { "a.mxf", "one" } });
            s.mountOn("dest", nullptr, s.path("A/Avid MediaFiles/MXF"));
        },
        flat("move", { "--overwrite", "yes", "--original-folders" }), 0,
        { { "dest/1/a.mxf", "one" }, { kA1 + "a.mxf", "one" } }, "the same src&dst" },
    SafetyCase { "MoveIntoABindMountedFolder",
        [](Safety &s) {
            s.media(1, { { "a.mxf", "one" } });
            QDir().mkpath(s.path("elsewhere"));
            s.mountOn("dest", nullptr, s.path("elsewhere"));
        },
        flat("move"), 0, { { "elsewhere/a.mxf", "one" }, { kA1 + "a.mxf", kAbsent } },
        "moved 1, skipped 0, failed 0" },
    // Rows that do not fit the disk leave no file cut short behind, and fail.
    SafetyCase { "FullDiskUnderScanOutput",
        [](Safety &s) {
            std::map<QByteArray, QByteArray> files;
            for (int i = 0; i < 40; ++i)
                files[QByteArray::number(i) + ".mxf"] = "x";
            s.media(1, files);
            s.mountOn("dest", "tmpfs", "tmpfs", "size=4k");
        },
        { "scan", "--volume", "@A", "--format", "json", "--output", "@dest/rows.json" }, 1,
        { { "dest/rows.json", kAbsent } }, "" },
    SafetyCase { "ReadOnlySourceIsNotMoved",
        [](Safety &s) {
            s.media(1, { { "a.mxf", "one" } });
            s.asNobody();
            chmod(QFile::encodeName(s.folder(1) + "/a.mxf").constData(), 0444);
            chmod(QFile::encodeName(s.folder(1)).constData(), 0555);
        },
        flat("move"), 1, { { "dest/a.mxf", kAbsent }, { kA1 + "a.mxf", "one" } },
        "moved 0, skipped 0, failed 1" }),
    [](const ::testing::TestParamInfo<SafetyCase> &info) { return std::string(info.param.name); });
// clang-format on

// A copy ended by a signal: SIGTERM cancels it at once and removes its temporary file;
// after SIGKILL the next action into that folder removes what was left.
class SignalDuringCopy : public Safety { };

TEST_F(SignalDuringCopy, TermCleansUpAndKillLeavesWhatTheNextRunRemoves)
{
    media(1, { { "big.mxf", "" } });
    const QString big = folder(1) + "/big.mxf";
    constexpr qint64 kSize = qint64(1) << 30;
    ASSERT_TRUE(QFile::resize(big, kSize));
    for (const int signal : { SIGTERM, SIGKILL }) {
        const std::unique_ptr<QProcess> process(start(flat("copy")));
        waitFor(
            [&] { return !temporaryFilesBelow(path("dest")).isEmpty() || process->state() == QProcess::NotRunning; },
            30000);
        ASSERT_FALSE(temporaryFilesBelow(path("dest")).isEmpty()) << "no copy was seen running";
        QElapsedTimer stopping;
        stopping.start();
        kill(pid_t(process->processId()), signal);
        ASSERT_TRUE(process->waitForFinished(5000));
        EXPECT_EQ(temporaryFilesBelow(files_.path()).size(), signal == SIGKILL ? 1 : 0);
        if (signal == SIGTERM) {
            EXPECT_EQ(process->exitCode(), 130);
            EXPECT_LT(stopping.elapsed(), 1000);
        }
        EXPECT_FALSE(QFileInfo::exists(path("dest/big.mxf")));
        EXPECT_EQ(QFileInfo(big).size(), kSize);
    }
    ASSERT_TRUE(TestFiles::writeFile(big, "small"));
    const std::unique_ptr<QProcess> again(start(flat("copy")));
    ASSERT_TRUE(again->waitForFinished(60000));
    EXPECT_EQ(again->exitCode(), 0);
    EXPECT_TRUE(again->readAllStandardOutput().contains("removed the stale temporary file"));
    EXPECT_TRUE(temporaryFilesBelow(files_.path()).isEmpty());
    EXPECT_EQ(bytesOf(path("dest/big.mxf")), "small");
}
