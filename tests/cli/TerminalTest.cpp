// vesk-cli on a pseudo-terminal, as a person runs it: move and delete ask first with
// the plan's totals, copy, move and delete draw a progress line, and scan prints a table.

#include "CliProcess.h"

#include <QDeadlineTimer>

namespace {

/// vesk-cli with a pseudo-terminal as its standard input, output and error, which
/// `script` makes and relays to and from this process.
class Terminal {
public:
    explicit Terminal(const QStringList &arguments)
    {
        QStringList command { QStringLiteral(VESK_CLI) };
        for (QString argument : arguments)
            command << QLatin1Char('\'') + argument.replace("'", "'\\''") + QLatin1Char('\'');
        m_process.start("script", { "--quiet", "--return", "--command", command.join(' '), "/dev/null" });
    }
    /// Reads what the program writes until the text appears; false when the program
    /// ends first or 30 seconds pass.
    bool readUntil(const QByteArray &text)
    {
        const QDeadlineTimer deadline(30000);
        while (!m_output.contains(text)) {
            if (!m_process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
            m_output += m_process.readAllStandardOutput();
        }
        return true;
    }
    void type(const QByteArray &line) { ASSERT_EQ(m_process.write(line), line.size()); }
    /// Reads to the end and returns the exit status; -1 when the program did not end.
    int exitStatus()
    {
        const bool ended = m_process.waitForFinished(30000) && m_process.exitStatus() == QProcess::NormalExit;
        m_output += m_process.readAllStandardOutput();
        return ended ? m_process.exitCode() : -1;
    }
    const QByteArray &output() const { return m_output; }

private:
    QProcess m_process;
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
    Terminal scan({ "scan", "--volume", root });
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
        Terminal terminal(c.arguments + QStringList { "--volume", root });
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
