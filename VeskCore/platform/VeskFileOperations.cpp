#include "platform/VeskFileOperations.h"

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
using CancellableRef = std::unique_ptr<GCancellable, GObjectDeleter>;

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

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// A name in the folder that nothing uses now; the copy creates it afresh.
std::optional<QByteArray> freeTemporaryName(const QByteArray &folder, VeskFileOperations::Error *error)
{
    QByteArray name = folder + '/' + VeskFileName::encode(VeskFileOperations::temporaryPrefix()) + "XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        failWithErrno(error, errno);
        return std::nullopt;
    }
    close(fd);
    unlink(name.constData());
    return name;
}

struct ProgressContext {
    const VeskFileOperations::Progress *progress;
    GCancellable *cancellable;
};

void onProgress(goffset current, goffset, gpointer data)
{
    const auto *context = static_cast<const ProgressContext *>(data);
    if (*context->progress && !(*context->progress)(int64_t(current)))
        g_cancellable_cancel(context->cancellable);
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

enum class KernelCopy { Done, Failed, NotAvailable };

// Between two progress calls (and chances to stop) the kernel copies this much: a
// tenth of a second on slow disks, too little on fast ones to slow the copy down.
constexpr size_t kKernelChunk = 8 << 20;

bool isCancelled(const VeskFileOperations::Progress &progress, int64_t copied, VeskFileOperations::Error *error)
{
    if (!progress || progress(copied))
        return false;
    fail(error, G_IO_ERROR_CANCELLED, QStringLiteral("Operation was cancelled"));
    return true;
}

KernelCopy failed(VeskFileOperations::Error *error, int code)
{
    failWithErrno(error, code);
    return KernelCopy::Failed;
}

// Copies until the end of the source. A kernel or pair of file systems that cannot
// copy this way says so at once, before any byte went.
KernelCopy copyRange(
    int in, int out, int64_t size, const VeskFileOperations::Progress &progress, VeskFileOperations::Error *error)
{
    int64_t copied = 0;
    for (;;) {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, kKernelChunk, 0);
        if (n < 0 && copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL))
            return KernelCopy::NotAvailable;
        if (n < 0)
            return failed(error, errno);
        if (n == 0)
            return copied == 0 && size > 0 ? KernelCopy::NotAvailable : KernelCopy::Done;
        copied += n;
        if (isCancelled(progress, copied, error))
            return KernelCopy::Failed;
    }
}

// The data of a regular file copied inside the kernel (copy_file_range: no trip
// through this process, clones and server-side copies where the file system has them),
// then its metadata through GIO. Anything else is left to g_file_copy.
KernelCopy copyInKernel(const QByteArray &source, const QByteArray &target,
    const VeskFileOperations::Progress &progress, VeskFileOperations::Error *error)
{
    const Descriptor in(open(source.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st { };
    if (in.get() < 0 || fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return KernelCopy::NotAvailable;
    Descriptor out(open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.get() < 0)
        return failed(error, errno);
    const KernelCopy result = copyRange(in.get(), out.get(), st.st_size, progress, error);
    if (result == KernelCopy::NotAvailable)
        unlink(target.constData());
    if (result != KernelCopy::Done)
        return result;
    if (close(out.release()) != 0)
        return failed(error, errno);
    // As g_file_copy does, metadata that cannot be copied is no failure of the copy.
    const FileRef from = fileFor(source);
    const FileRef to = fileFor(target);
    g_file_copy_attributes(from.get(), to.get(),
        GFileCopyFlags(G_FILE_COPY_ALL_METADATA | G_FILE_COPY_NOFOLLOW_SYMLINKS), nullptr, nullptr);
    return KernelCopy::Done;
}

bool copyData(const QByteArray &source, const QByteArray &target, const VeskFileOperations::Progress &progress,
    VeskFileOperations::Error *error)
{
    if (isCancelled(progress, 0, error))
        return false;
    const KernelCopy kernel = copyInKernel(source, target, progress, error);
    if (kernel != KernelCopy::NotAvailable)
        return kernel == KernelCopy::Done;
    const FileRef from = fileFor(source);
    const FileRef to = fileFor(target);
    const CancellableRef cancellable(g_cancellable_new());
    ProgressContext context { &progress, cancellable.get() };
    GError *gerror = nullptr;
    const auto flags = GFileCopyFlags(G_FILE_COPY_ALL_METADATA | G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_OVERWRITE);
    if (!g_file_copy(from.get(), to.get(), flags, cancellable.get(), onProgress, &context, &gerror))
        return failWithGError(error, gerror);
    return true;
}

bool syncPath(const QByteArray &path, int flags, VeskFileOperations::Error *error)
{
    const int fd = open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return failWithErrno(error, errno);
    const bool synced = fsync(fd) == 0;
    const int code = errno;
    close(fd);
    return synced || failWithErrno(error, code);
}

// Before the source of a move goes, its copy must be whole and on the disk.
bool isDurableWholeCopy(const QByteArray &source, const QByteArray &copy, VeskFileOperations::Error *error)
{
    struct stat from {
    }, to {};
    if (lstat(source.constData(), &from) != 0 || lstat(copy.constData(), &to) != 0)
        return failWithErrno(error, errno);
    if (from.st_size != to.st_size)
        return fail(
            error, EIO, QStringLiteral("The copy is %1 bytes long, the source %2").arg(to.st_size).arg(from.st_size));
    return S_ISLNK(to.st_mode) || syncPath(copy, O_RDONLY, error);
}

} // namespace

bool VeskFileOperations::copyFile(
    const QString &source, const QString &target, const Progress &progress, bool removeSource, Error *error)
{
    const QByteArray sourcePath = VeskFileName::encode(source);
    const QByteArray targetPath = VeskFileName::encode(target);
    const QByteArray folder = folderOf(targetPath);
    const std::optional<QByteArray> temporary = freeTemporaryName(folder, error);
    if (!temporary)
        return false;
    if (!copyData(sourcePath, *temporary, progress, error)
        || (removeSource && !isDurableWholeCopy(sourcePath, *temporary, error))) {
        unlink(temporary->constData());
        return false;
    }
    if (rename(temporary->constData(), targetPath.constData()) != 0) {
        const int code = errno;
        unlink(temporary->constData());
        return failWithErrno(error, code);
    }
    if (!removeSource)
        return true;
    if (!syncPath(folder, O_RDONLY | O_DIRECTORY, error))
        return false;
    if (unlink(sourcePath.constData()) != 0)
        return failWithErrno(error, errno);
    return true;
}

bool VeskFileOperations::moveFile(const QString &source, const QString &target, Error *error)
{
    const FileRef from = fileFor(VeskFileName::encode(source));
    const FileRef to = fileFor(VeskFileName::encode(target));
    GError *gerror = nullptr;
    const auto flags
        = GFileCopyFlags(G_FILE_COPY_OVERWRITE | G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_NO_FALLBACK_FOR_MOVE);
    if (!g_file_move(from.get(), to.get(), flags, nullptr, nullptr, nullptr, &gerror))
        return failWithGError(error, gerror);
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
