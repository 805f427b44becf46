#include "CliTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool deviceOf(const QString &path, dev_t *device)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    *device = status.st_dev;
    return true;
}

} // namespace

QString CliTrash::folderFor(const QString &path)
{
    dev_t file = 0;
    dev_t home = 0;
    const QString folder = QFileInfo(path).absolutePath();
    if (deviceOf(folder, &file) && deviceOf(QDir::homePath(), &home) && file == home)
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    const QString top = topOfVolume(folder);
    const QString shared = top + QStringLiteral("/.Trash");
    struct stat status { };
    // A shared trash is used only as a real, sticky folder.
    if (::lstat(QFile::encodeName(shared).constData(), &status) == 0 && S_ISDIR(status.st_mode)
        && (status.st_mode & S_ISVTX))
        return shared + QLatin1Char('/') + QString::number(getuid());
    return top + QStringLiteral("/.Trash-") + QString::number(getuid());
}

// The highest folder above the path on the path's device.
QString CliTrash::topOfVolume(const QString &path)
{
    dev_t device = 0;
    QString top = QDir::cleanPath(path);
    if (!deviceOf(top, &device))
        return top;
    for (QString parent = QFileInfo(top).path(); parent != top; parent = QFileInfo(top).path()) {
        dev_t parentDevice = 0;
        if (!deviceOf(parent, &parentDevice) || parentDevice != device)
            break;
        top = parent;
    }
    return top;
}
