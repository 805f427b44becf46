#include "platform/VeskFileOperations.h"

#include "platform/VeskFileCopy.h"
#include "platform/VeskFileName.h"

#include <gio/gio.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

struct GObjectDeleter {
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
using FileRef = std::unique_ptr<GFile, GObjectDeleter>;

FileRef fileFor(const QByteArray &nativePath)
{
    return FileRef(g_file_new_for_path(nativePath.constData()));
}

bool fail(VeskFileOperations::Error *error, long code, const QString &description)
{
    if (error)
        *error = { code, description };
    return false;
}

bool failWithErrno(VeskFileOperations::Error *error, int code)
{
    return fail(error, code, QString::fromLocal8Bit(std::strerror(code)));
}

bool failWithGError(VeskFileOperations::Error *error, GError *gerror)
{
    if (!gerror)
        return fail(error, 0, QString());
    fail(error, gerror->code, QString::fromUtf8(gerror->message));
    g_error_free(gerror);
    return false;
}

} // namespace

bool VeskFileOperations::copyFile(const QString &source, const QString &target, const Progress &progress,
    bool removeSource, Error *error, Digest *digest)
{
    return VeskFileCopy::copy(source, target, progress, removeSource, digest, error);
}

bool VeskFileOperations::moveFile(const QString &source, const QString &target, Error *error)
{
    if (rename(VeskFileName::encode(source).constData(), VeskFileName::encode(target).constData()) != 0)
        return failWithErrno(error, errno);
    return true;
}

bool VeskFileOperations::trashFile(const QString &path, Error *error)
{
    const FileRef file = fileFor(VeskFileName::encode(path));
    GError *gerror = nullptr;
    if (!g_file_trash(file.get(), nullptr, &gerror))
        return failWithGError(error, gerror);
    return true;
}

bool VeskFileOperations::removeFile(const QString &path, const RemovePermission &permission, Error *error)
{
    if (permission && !permission(path))
        return true;
    const FileRef file = fileFor(VeskFileName::encode(path));
    GError *gerror = nullptr;
    if (!g_file_delete(file.get(), nullptr, &gerror))
        return failWithGError(error, gerror);
    return true;
}

bool VeskFileOperations::makeFolder(const QString &path, Error *error)
{
    const FileRef folder = fileFor(VeskFileName::encode(path));
    GError *gerror = nullptr;
    if (!g_file_make_directory_with_parents(folder.get(), nullptr, &gerror))
        return failWithGError(error, gerror);
    return true;
}

std::optional<uint64_t> VeskFileOperations::volumeOf(const QString &path, Error *error)
{
    struct stat st { };
    if (stat(VeskFileName::encode(path).constData(), &st) != 0) {
        failWithErrno(error, errno);
        return std::nullopt;
    }
    return uint64_t(st.st_dev);
}

bool VeskFileOperations::isReadable(const QString &path)
{
    return faccessat(AT_FDCWD, VeskFileName::encode(path).constData(), R_OK, AT_EACCESS) == 0;
}

bool VeskFileOperations::isWritable(const QString &path)
{
    return faccessat(AT_FDCWD, VeskFileName::encode(path).constData(), W_OK, AT_EACCESS) == 0;
}

bool VeskFileOperations::exists(const QString &path)
{
    struct stat st { };
    return lstat(VeskFileName::encode(path).constData(), &st) == 0;
}

VeskFileOperations::Entry VeskFileOperations::entryAt(const QString &path, bool followLink)
{
    Entry entry;
    const QByteArray native = VeskFileName::encode(path);
    struct stat st { };
    if ((followLink ? stat(native.constData(), &st) : lstat(native.constData(), &st)) != 0) {
        failWithErrno(&entry.error, errno);
        return entry;
    }
    entry.identity = { uint64_t(st.st_dev), uint64_t(st.st_ino) };
    if (S_ISREG(st.st_mode))
        entry.kind = Kind::Regular;
    else if (S_ISDIR(st.st_mode))
        entry.kind = Kind::Folder;
    else if (S_ISFIFO(st.st_mode))
        entry.kind = Kind::Fifo;
    else if (S_ISSOCK(st.st_mode))
        entry.kind = Kind::Socket;
    else if (S_ISLNK(st.st_mode))
        entry.kind = Kind::Link;
    else
        entry.kind = Kind::Device;
    if (entry.kind == Kind::Link) {
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t n = readlink(native.constData(), target.data(), size_t(target.size()));
        entry.linkTarget = VeskFileName::decode(target.left(qsizetype(std::max<ssize_t>(n, 0))));
    }
    return entry;
}

std::optional<VeskFileOperations::Identity> VeskFileOperations::identityOf(const QString &path)
{
    struct stat st { };
    if (stat(VeskFileName::encode(path).constData(), &st) != 0)
        return std::nullopt;
    return Identity { uint64_t(st.st_dev), uint64_t(st.st_ino) };
}

QString VeskFileOperations::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Missing: return QStringLiteral("missing");
    case Kind::Regular: return QStringLiteral("a regular file");
    case Kind::Link: return QStringLiteral("a symbolic link");
    case Kind::Folder: return QStringLiteral("a folder");
    case Kind::Fifo: return QStringLiteral("a FIFO");
    case Kind::Socket: return QStringLiteral("a socket");
    case Kind::Device: return QStringLiteral("a device");
    }
    return {};
}

QStringList VeskFileOperations::removeStaleTemporaries(const QString &folder)
{
    return VeskFileCopy::removeStaleTemporaries(folder);
}
