#include "VerifyCommand.h"

#include "CliIO.h"
#include "CliOptions.h"

#include "actions/VeskMHLHistory.h"
#include "actions/VeskMHLVerification.h"
#include "report/VeskFileSize.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {

constexpr qint64 kRedrawMs = 200;

// A line redrawn in place on a terminal, at most every few hundred milliseconds.
class VerifyProgress {
public:
    bool operator()(int64_t done, int64_t total)
    {
        if (!m_onTerminal || (m_shown.isValid() && m_shown.elapsed() < kRedrawMs))
            return true;
        m_shown.start();
        CliIO::err() << QStringLiteral("\r\033[Kverifying %1 of %2 (%3%)")
                            .arg(VeskFileSize::toHumanBytes(double(done)), VeskFileSize::toHumanBytes(double(total)))
                            .arg(total > 0 ? done * 100 / total : 100)
                     << Qt::flush;
        return true;
    }
    void clear()
    {
        if (m_onTerminal && m_shown.isValid())
            CliIO::err() << "\r\033[K" << Qt::flush;
    }

private:
    const bool m_onTerminal = CliIO::stderrIsTerminal();
    QElapsedTimer m_shown;
};

} // namespace

int VerifyCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 1)
        return CliOptions::usageError(CliOptions::Verify, QStringLiteral("give one folder"));
    const QString folder = QFileInfo(folders.first()).absoluteFilePath();
    if (!VeskMHLHistory(folder).exists()) {
        CliIO::error(
            QStringLiteral("%1 has no ASC MHL history (no %2 folder)").arg(folder, VeskMHLHistory::folderName()));
        return CliIO::Usage;
    }
    VeskMHLVerification verification(folder);
    VerifyProgress progress;
    QString error;
    const bool ran = verification.run(
        parser.isSet(QStringLiteral("record")),
        [&progress](int64_t done, int64_t total) { return progress(done, total); }, &error);
    progress.clear();
    for (const QString &line : verification.problemLines())
        CliIO::out() << line << '\n';
    CliIO::out() << verification.summary() << '\n' << Qt::flush;
    if (!ran)
        CliIO::error(error);
    return ran && verification.passed() ? CliIO::Success : CliIO::Unreadable;
}
