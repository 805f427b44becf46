#include "platform/VeskDirectory.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

struct DirCloser {
    void operator()(DIR *dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

VeskDirectory::Kind kindOf(const dirent *entry, const QByteArray &path)
{
    if (entry->d_type == DT_DIR)
        return VeskDirectory::Kind::Folder;
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return VeskDirectory::Kind::File;
    struct stat st {};
    if (stat(path.constData(), &st) != 0)
        return VeskDirectory::Kind::Unknown;
    return S_ISDIR(st.st_mode) ? VeskDirectory::Kind::Folder : VeskDirectory::Kind::File;
}

bool isDotEntry(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

QStringList VeskDirectory::namesIn(const QString &folder, bool *ok)
{
    QStringList names;
    DirHandle dir(opendir(QFile::encodeName(folder).constData()));
    if (ok)
        *ok = bool(dir);
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir.get()))
        if (!isDotEntry(entry->d_name))
            names.push_back(QFile::decodeName(entry->d_name));
    return names;
}

void VeskDirectory::walk(const QString &root, const Visitor &visit, const ErrorHandler &error)
{
    std::vector<QString> folders{root};
    while (!folders.empty()) {
        const QString folder = folders.back();
        folders.pop_back();
        const QByteArray nativeFolder = QFile::encodeName(folder);
        DirHandle dir(opendir(nativeFolder.constData()));
        if (!dir) {
            error(QStringLiteral("%1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
            continue;
        }
        std::vector<QString> subfolders;
        while (const dirent *entry = readdir(dir.get())) {
            if (isDotEntry(entry->d_name))
                continue;
            const QString path = joined(folder, QFile::decodeName(entry->d_name));
            const Kind kind = kindOf(entry, nativeFolder + '/' + entry->d_name);
            visit(path, kind);
            if (kind == Kind::Folder && entry->d_type != DT_LNK)
                subfolders.push_back(path);
        }
        // Reversed onto the stack so that subfolders are entered in listing order.
        folders.insert(folders.end(), subfolders.rbegin(), subfolders.rend());
    }
}

bool VeskDirectory::isFolder(const QString &path)
{
    struct stat st {};
    return stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool VeskDirectory::exists(const QString &path)
{
    struct stat st {};
    return stat(QFile::encodeName(path).constData(), &st) == 0;
}
