#include "FuzzFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString writeFuzzFile(const uint8_t *data, size_t size, const char *extension)
{
    const QString folder = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QString path = QStringLiteral("%1/vesk-fuzz-%2.%3")
                             .arg(folder)
                             .arg(QCoreApplication::applicationPid())
                             .arg(QLatin1String(extension));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}
