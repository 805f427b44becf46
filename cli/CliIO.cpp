#include "CliIO.h"

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
