#include "platform/VeskDirectory.h"

#include "platform/VeskFileName.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <map>
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
    struct stat st { };
    if (stat(path.constData(), &st) != 0)
        return VeskDirectory::Kind::Unknown;
    return S_ISDIR(st.st_mode) ? VeskDirectory::Kind::Folder : VeskDirectory::Kind::File;
}

bool isLink(const dirent *entry, const QByteArray &path)
{
    if (entry->d_type != DT_UNKNOWN)
        return entry->d_type == DT_LNK;
    struct stat st { };
    return lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool isDotEntry(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The folders a walk has entered, by device and inode, with the path it first took.
class EnteredFolders {
public:
    explicit EnteredFolders(const VeskDirectory::Reporter &report)
        : m_report(report)
    {
    }

    // False, with a report, for a folder entered before; a folder that cannot be
    // examined is let through, so that opening it reports the reason.
    bool enter(const QString &path, const QByteArray &native)
    {
        struct stat st { };
        if (stat(native.constData(), &st) != 0)
            return true;
        const auto [first, added] = m_paths.try_emplace({ uint64_t(st.st_dev), uint64_t(st.st_ino) }, path);
        if (!added)
            m_report(QStringLiteral("**** Warning **** %1 leads to %2, which is scanned already; not entered again")
                         .arg(path, first->second));
        return added;
    }

private:
    const VeskDirectory::Reporter &m_report;
    std::map<std::pair<uint64_t, uint64_t>, QString> m_paths;
};

} // namespace

QList<QByteArray> VeskDirectory::namesIn(const QString &folder, bool *ok)
{
    QList<QByteArray> names;
    DirHandle dir(opendir(VeskFileName::encode(folder).constData()));
    if (ok)
        *ok = bool(dir);
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir.get()))
        if (!isDotEntry(entry->d_name))
            names.push_back(QByteArray(entry->d_name));
    return names;
}

void VeskDirectory::walk(const QString &root, const Visitor &visit, const Reporter &report)
{
    EnteredFolders entered(report);
    std::vector<QString> folders;
    if (entered.enter(root, VeskFileName::encode(root)))
        folders.push_back(root);
    while (!folders.empty()) {
        const QString folder = folders.back();
        folders.pop_back();
        const QByteArray nativeFolder = VeskFileName::encode(folder);
        DirHandle dir(opendir(nativeFolder.constData()));
        if (!dir) {
            report(
                QStringLiteral("An error occurred: %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
            continue;
        }
        std::vector<QString> subfolders;
        while (const dirent *entry = readdir(dir.get())) {
            if (isDotEntry(entry->d_name))
                continue;
            const QByteArray native = nativeFolder + '/' + entry->d_name;
            const QString path = joined(folder, VeskFileName::decode(entry->d_name));
            const Kind kind = kindOf(entry, native);
            if (kind == Kind::Folder) {
                if (!entered.enter(path, native))
                    continue;
                if (isLink(entry, native))
                    report(QStringLiteral("Following the link %1 to a folder").arg(path));
                subfolders.push_back(path);
            }
            visit(path, kind);
        }
        // Reversed onto the stack so that subfolders are entered in listing order.
        folders.insert(folders.end(), subfolders.rbegin(), subfolders.rend());
    }
}

bool VeskDirectory::isFolder(const QString &path)
{
    struct stat st { };
    return stat(VeskFileName::encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool VeskDirectory::exists(const QString &path)
{
    struct stat st { };
    return stat(VeskFileName::encode(path).constData(), &st) == 0;
}
