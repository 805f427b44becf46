#include "CliIO.h"

#include "base/VeskConsole.h"

#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

QTextStream &CliIO::out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &CliIO::err()
{
    static QTextStream stream(stderr);
    return stream;
}

void CliIO::error(const QString &message)
{
    err() << "vesk-cli: " << message << Qt::endl;
}

void CliIO::warning(const QString &message)
{
    error(QStringLiteral("warning: ") + message);
}

int CliIO::usageError(const QString &message, const QString &usage)
{
    error(message);
    err() << "usage: " << usage << Qt::endl;
    return Usage;
}

bool CliIO::stderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

QString CliIO::captureLog(const std::function<void()> &work)
{
    QString log;
    const QMetaObject::Connection connection
        = QObject::connect(VeskConsole::sharedInstance(), &VeskConsole::stringAdded, [&log](const QString &line) {
              const qsizetype start = line.indexOf(QLatin1String(" :: "));
              log += start < 0 ? line : line.mid(start + 4);
          });
    work();
    QObject::disconnect(connection);
    return log;
}

bool CliIO::stdinIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

bool CliIO::confirm(const QString &question)
{
    err() << question << " [y/N] " << Qt::flush;
    char line[64];
    if (!std::fgets(line, sizeof line, stdin))
        return false;
    const QString reply = QString::fromLocal8Bit(line).trimmed().toLower();
    return reply == QLatin1String("y") || reply == QLatin1String("yes");
}

QString CliIO::withoutSources(const QString &log)
{
    static const QRegularExpression prefix(
        QStringLiteral("^\\([^\n]*?\\)( \\([^\n]*?:\\d{8}\\))? :: "), QRegularExpression::MultilineOption);
    return QString(log).remove(prefix);
}
