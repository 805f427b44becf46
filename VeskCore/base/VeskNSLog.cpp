#include "base/VeskNSLog.h"

#include "base/VeskConsole.h"

#include <cstdio>
#include <cstring>

namespace {

QString bareFileName(const char *path)
{
    if (!path || !*path)
        return {};
    const char *slash = std::strrchr(path, '/');
    return QString::fromUtf8(slash ? slash + 1 : path);
}

} // namespace

void VeskNSLog(const char *sourceFile, int line, const char *function, const QString &message)
{
    if (message.isEmpty())
        return;
    QString text = message.endsWith(QLatin1Char('\n')) ? message : message + QLatin1Char('\n');
    const QString function_ = QString::fromUtf8(function ? function : "");
    const QString file = bareFileName(sourceFile);
    QString out;
    if (file.isEmpty())
        out = QStringLiteral("(%1) :: %2").arg(function_, text);
    else
        out = QStringLiteral("(%1) (%2:%3) :: %4")
                  .arg(function_, file, QStringLiteral("%1").arg(line, 8, 10, QLatin1Char('0')), text);
    VeskConsole::sharedInstance()->addString(out);
}

void VeskPrint(const QString &message)
{
    if (message.isNull())
        return;
    const QByteArray bytes = message.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    VeskConsole::sharedInstance()->addString(message);
}
