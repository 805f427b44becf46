// vesk-cli on a pseudo-terminal, as a person runs it: move and delete ask first with
// the plan's totals, copy, move and delete draw a progress line, and scan prints a table.

#include "CliProcess.h"

#include "support/TestFiles.h"
#include "support/WaitFor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/// A program whose standard input, output and error are one pseudo-terminal.
class Terminal {
public:
    explicit Terminal(const QStringList &arguments)
    {
        std::vector<QByteArray> encoded;
        for (const QString &argument : arguments)
            encoded.push_back(QFile::encodeName(argument));
        std::vector<char *> argv;
        for (QByteArray &argument : encoded)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        m_pid = forkpty(&m_master, nullptr, nullptr, nullptr);
        if (m_pid == 0) {
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Terminal()
    {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_master >= 0)
            close(m_master);
    }
    /// Reads what the program writes until the text appears; false when the program
    /// ends first or 30 seconds pass.
    bool readUntil(const QByteArray &text)
    {
        QElapsedTimer waited;
        waited.start();
        while (!m_output.contains(text)) {
            pollfd ready { m_master, POLLIN, 0 };
            const qint64 left = 30000 - waited.elapsed();
            char buffer[4096];
            if (left <= 0 || poll(&ready, 1, int(left)) <= 0)
                return false;
            const ssize_t count = read(m_master, buffer, sizeof buffer);
            if (count <= 0) // the terminal closed with the program
                return false;
            m_output.append(buffer, count);
        }
        return true;
    }
    void type(const QByteArray &line)
    {
        ASSERT_EQ(write(m_master, line.constData(), size_t(line.size())), line.size());
    }
    /// Reads to the end and returns the exit status; -1 when the program did not end.
    int exitStatus()
    {
        readUntil(QByteArrayLiteral("\x01 never written"));
        int status = 0;
        m_ended = waitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, 10000);
        return m_ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const QByteArray &output() const { return m_output; }

private:
    pid_t m_pid = -1;
    int m_master = -1;
    bool m_ended = false;
    QByteArray m_output;
};

} // namespace

TEST(CliTerminal, MoveAndDeleteAskActionsShowProgressAndScanPrintsATable)
{
    TestFiles files;
    const QString root = files.path() + "/vol";
    const QString media = root + "/Avid MediaFiles/MXF/1";
    const QString dest = files.path() + "/dest";
    ASSERT_TRUE(makeVolume(root, { "--mxf", "--folders", "1", "--files", "3", "--copies", "0" }));
    ASSERT_TRUE(QDir().mkpath(dest));
    trashInside(files.path());
    const QStringList shown = QDir(media).entryList({ "*.mxf" });
    Terminal scan({ QStringLiteral(VESK_CLI), "scan", "--volume", root });
    EXPECT_EQ(scan.exitStatus(), 0);
    // The aligned table: a header of titles, no CSV separators, every file one row.
    EXPECT_TRUE(scan.output().contains("Clip Name ") && !scan.output().contains(';')) << scan.output().constData();
    EXPECT_EQ(scan.output().count(".mxf"), shown.size()) << scan.output().constData();
    const struct {
        QStringList arguments;
        QList<QByteArray> question; // what it says before the answer; empty when none is asked
        QByteArray answer;
        int status;
        QString left; // where the media files are afterwards
    } cases[] = {
        { { "delete" }, { "Delete 3 files, ", ", into the trash (" }, "n\n", 1, media },
        { { "copy", "--dest", dest, "--no-projects", "--no-types" }, {}, {}, 0, dest },
        { { "move", "--dest", dest, "--no-projects", "--no-types", "--overwrite", "yes" },
            { "Move 3 files, ", ", to " + QFile::encodeName(dest) + "? " }, "y\n", 0, dest },
    };
    for (const auto &c : cases) {
        Terminal terminal(QStringList { QStringLiteral(VESK_CLI) } + c.arguments + QStringList { "--volume", root });
        if (!c.question.isEmpty()) {
            ASSERT_TRUE(terminal.readUntil("? [y/N] ")) << terminal.output().constData();
            for (const QByteArray &said : c.question)
                EXPECT_TRUE(terminal.output().contains(said)) << terminal.output().constData();
            terminal.type(c.answer);
        }
        EXPECT_EQ(terminal.exitStatus(), c.status) << terminal.output().constData();
        EXPECT_EQ(terminal.output().contains(": files "), c.status == 0) << terminal.output().constData();
        EXPECT_EQ(QDir(c.left).entryList({ "*.mxf" }), shown) << c.arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(QDir(media).entryList({ "*.mxf" }).isEmpty());
}
