#include "CliIO.h"

#include "base/VeskConsole.h"

#include <QCoreApplication>

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

std::optional<int> CliIO::parse(QCommandLineParser &parser, const QStringList &arguments, const QString &usage)
{
    if (!parser.parse(arguments))
        return usageError(parser.errorText(), usage);
    if (parser.isSet(QStringLiteral("help"))) {
        QString help = parser.helpText();
        const QString started = QStringLiteral("Usage: ") + QCoreApplication::arguments().value(0);
        if (help.startsWith(started))
            help.replace(0, started.size(), QStringLiteral("Usage: ") + arguments.value(0));
        out() << help << Qt::flush;
        return Success;
    }
    return std::nullopt;
}
