#include "ActionProgress.h"

#include "CliIO.h"

#include "actions/VeskActionOperation.h"
#include "report/VeskFileSize.h"

namespace {

const char *const kClearLine = "\r\033[K";

} // namespace

ActionProgress::ActionProgress(const VeskActionOperation &operation, Mode mode, bool onTerminal)
    : m_operation(operation)
    , m_mode(mode)
    , m_showProgress(onTerminal && mode != Mode::Quiet)
{
    m_started.start();
}

void ActionProgress::update()
{
    if (m_mode == Mode::Verbose)
        streamLog();
    if (m_showProgress)
        CliIO::err() << kClearLine << progressLine() << Qt::flush;
}

void ActionProgress::finish()
{
    if (m_showProgress)
        CliIO::err() << kClearLine << Qt::flush;
    if (m_mode != Mode::Quiet) {
        streamLog();
        return;
    }
    for (const QString &line : m_operation.actionLog().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (line.contains(QLatin1String("ERROR")))
            CliIO::err() << line.trimmed() << '\n';
    CliIO::err() << Qt::flush;
}

void ActionProgress::streamLog()
{
    const QString log = m_operation.actionLog();
    if (log.size() <= m_logPrinted)
        return;
    if (m_showProgress)
        CliIO::err() << kClearLine << Qt::flush;
    CliIO::out() << QStringView(log).mid(m_logPrinted) << Qt::flush;
    m_logPrinted = log.size();
}

// "Copy: files 2/6, 1.2 GB of 2.9 GB, 110 MB/s, 0:15 left", counting the files dealt with.
QString ActionProgress::progressLine() const
{
    const double done = double(m_operation.BytesDone()) + double(std::max<int64_t>(m_operation.bWritten(), 0));
    const double total = double(m_operation.BytesTotal().value_or(0));
    const double seconds = double(m_started.elapsed()) / 1000.0;
    const double rate = seconds > 0 ? done / seconds : 0;
    QString line = QStringLiteral("%1: files %2/%3, %4 of %5")
                       .arg(m_operation.Action_Properties().Action)
                       .arg(m_operation.doneCount() + m_operation.skippedCount() + m_operation.failedCount())
                       .arg(m_operation.itemsTotal())
                       .arg(VeskFileSize::toHumanBytes(done), VeskFileSize::toHumanBytes(total));
    if (rate <= 0)
        return line;
    line += QStringLiteral(", %1/s").arg(VeskFileSize::toHumanBytes(rate));
    if (total > done)
        line += QStringLiteral(", %1 left").arg(duration(qint64((total - done) / rate)));
    return line;
}

QString ActionProgress::duration(qint64 seconds)
{
    const QString minutesAndSeconds
        = QStringLiteral("%1:%2").arg((seconds / 60) % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return seconds < 3600
        ? minutesAndSeconds
        : QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds.rightJustified(5, QLatin1Char('0')));
}
