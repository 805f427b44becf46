#include "platform/VeskFileCopy.h"

#include "platform/VeskContentHash.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileName.h"

#include <gio/gio.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Error = VeskFileOperations::Error;
using Progress = VeskFileOperations::Progress;

// Each step of a copy aims at this duration; the next step's size follows the speed
// measured on the last one. Steps start small and at most double, so that data read
// from the cache at memory speed cannot make one step that the disk then takes
// seconds to serve.
constexpr auto kStepTime = std::chrono::milliseconds(40);
constexpr int64_t kSmallestStep = 64 << 10;
constexpr int64_t kLargestStep = 16 << 20;
// Small enough to stay in the processor's cache between the read that fills it, the
// hash and the write: a buffer of megabytes makes the hash fetch it from memory again.
constexpr size_t kBufferSize = 256 << 10;
constexpr int kTemporaryAttempts = 8;

bool fail(Error *error, long code, const QString &description)
{
    if (error)
        *error = { code, description };
    return false;
}

bool failWithErrno(Error *error, int code)
{
    return fail(error, code, QString::fromLocal8Bit(std::strerror(code)));
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    Descriptor(Descriptor &&other) noexcept
        : m_fd(other.release())
    {
    }
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool lockUnsupported(int code)
{
    return code == EOPNOTSUPP || code == ENOLCK || code == EINVAL;
}

// The temporary file, created and locked: a cleaner in another process may remove an
// unlocked one between its creation and the lock, which the link count then shows.
struct Temporary {
    QByteArray path;
    Descriptor fd;
};

std::optional<Temporary> makeTemporary(const QByteArray &folder, Error *error)
{
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        Temporary temporary { folder + '/' + VeskFileName::encode(VeskFileOperations::temporaryPrefix()) + "XXXXXX",
            Descriptor() };
        temporary.fd = Descriptor(mkostemp(temporary.path.data(), O_CLOEXEC));
        if (temporary.fd.get() < 0) {
            failWithErrno(error, errno);
            return std::nullopt;
        }
        if (flock(temporary.fd.get(), LOCK_EX) != 0 && !lockUnsupported(errno)) {
            const int code = errno;
            unlink(temporary.path.constData());
            failWithErrno(error, code);
            return std::nullopt;
        }
        struct stat st { };
        if (fstat(temporary.fd.get(), &st) == 0 && st.st_nlink > 0)
            return temporary;
    }
    fail(error, EAGAIN, QStringLiteral("No temporary file could be kept in the target folder"));
    return std::nullopt;
}

// One step of data, read and written through this process so that every byte is
// hashed as it passes: the digest costs no second read of the source.
class Transfer {
public:
    Transfer(int in, int out)
        : m_in(in)
        , m_out(out)
        , m_buffer(kBufferSize)
    {
    }
    ssize_t step(int64_t size)
    {
        int64_t done = 0;
        while (done < size) {
            const ssize_t n = readAndWrite(std::min<int64_t>(size - done, kBufferSize));
            if (n <= 0)
                return done > 0 ? ssize_t(done) : n;
            done += n;
        }
        return ssize_t(done);
    }
    QString digest() const { return m_hash.hex(); }

private:
    ssize_t readAndWrite(int64_t size)
    {
        ssize_t n;
        do
            n = read(m_in, m_buffer.data(), size_t(size));
        while (n < 0 && errno == EINTR);
        for (ssize_t written = 0; n > 0 && written < n;) {
            const ssize_t w = write(m_out, m_buffer.data() + written, size_t(n - written));
            if (w < 0 && errno != EINTR)
                return -1;
            written += std::max<ssize_t>(w, 0);
        }
        if (n > 0)
            m_hash.add(m_buffer.data(), size_t(n));
        return n;
    }

    int m_in;
    int m_out;
    std::vector<char> m_buffer;
    VeskContentHash m_hash;
};

bool stopped(const Progress &progress, int64_t copied, Error *error)
{
    if (!progress || progress(copied))
        return false;
    fail(error, G_IO_ERROR_CANCELLED, QStringLiteral("Operation was cancelled"));
    return true;
}

// Copies to the end of the source. A durable copy is written out step by step, so
// that each step's time includes the disk's and the final sync is short.
bool copyData(Transfer &transfer, int out, bool durable, const Progress &progress, Error *error)
{
    int64_t copied = 0;
    int64_t step = kSmallestStep;
    for (;;) {
        if (stopped(progress, copied, error))
            return false;
        const auto start = std::chrono::steady_clock::now();
        const ssize_t n = transfer.step(step);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failWithErrno(error, errno);
        if (n == 0)
            return true;
        if (durable)
            sync_file_range(
                out, copied, n, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        copied += n;
        const auto took = std::max<int64_t>(
            1, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
        const int64_t fitting
            = int64_t(double(n) * double(std::chrono::microseconds(kStepTime).count()) / double(took));
        step = std::clamp(fitting, kSmallestStep, std::min(kLargestStep, 2 * step));
    }
}

// Before the source of a move goes, its copy must be whole and on the disk.
bool isDurableWholeCopy(int in, int out, Error *error)
{
    struct stat from {
    }, to {};
    if (fstat(in, &from) != 0 || fstat(out, &to) != 0)
        return failWithErrno(error, errno);
    if (from.st_size != to.st_size)
        return fail(
            error, EIO, QStringLiteral("The copy is %1 bytes long, the source %2").arg(to.st_size).arg(from.st_size));
    return fsync(out) == 0 || failWithErrno(error, errno);
}

bool syncFolder(const QByteArray &folder, Error *error)
{
    const Descriptor fd(open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return failWithErrno(error, errno);
    return fsync(fd.get()) == 0 || failWithErrno(error, errno);
}

// The source as it is now: a regular file, opened without waiting (a FIFO or device
// swapped in after the caller's check is refused here, never read).
Descriptor openRegular(const QByteArray &path, bool followLink, struct stat &st, Error *error)
{
    Descriptor fd(open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW)));
    if (fd.get() < 0) {
        const int code = errno;
        if (code == ELOOP)
            fail(error, code, QStringLiteral("The source is a link"));
        else
            failWithErrno(error, code);
        return Descriptor();
    }
    if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        fail(error, EINVAL, QStringLiteral("The source is not a regular file"));
        return Descriptor();
    }
    return fd;
}

// Extended attributes go first, through the descriptors, while the temporary is still
// writable: once its mode is the source's, a read-only copy refuses them to anyone but root.
void copyExtendedAttributes(int from, int to)
{
    const ssize_t size = flistxattr(from, nullptr, 0);
    if (size <= 0)
        return;
    std::vector<char> names(size_t(size) + 1, '\0');
    const ssize_t listed = flistxattr(from, names.data(), names.size() - 1);
    std::vector<char> value;
    for (const char *name = names.data(); listed > 0 && name < names.data() + listed; name += strlen(name) + 1) {
        const ssize_t length = fgetxattr(from, name, nullptr, 0);
        value.resize(size_t(std::max<ssize_t>(length, 0)));
        if (length >= 0 && fgetxattr(from, name, value.data(), value.size()) == length)
            fsetxattr(to, name, value.data(), value.size(), 0);
    }
}

void copyAttributes(const QByteArray &source, const QByteArray &target, bool followLink)
{
    GFile *from = g_file_new_for_path(source.constData());
    GFile *to = g_file_new_for_path(target.constData());
    // As a file manager does, metadata that cannot be copied is no failure of the copy.
    g_file_copy_attributes(from, to,
        GFileCopyFlags(G_FILE_COPY_ALL_METADATA | (followLink ? 0 : G_FILE_COPY_NOFOLLOW_SYMLINKS)), nullptr, nullptr);
    g_object_unref(to);
    g_object_unref(from);
}

// The temporary is written and closed (closing reports the write errors some network
// file systems hold back), and keeps its lock through a second descriptor until renamed.
bool finishTemporary(Temporary &temporary, const QByteArray &target, Error *error)
{
    const Descriptor lockHolder(dup(temporary.fd.get()));
    if (lockHolder.get() < 0)
        return failWithErrno(error, errno);
    if (close(temporary.fd.release()) != 0)
        return failWithErrno(error, errno);
    return rename(temporary.path.constData(), target.constData()) == 0 || failWithErrno(error, errno);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool removeMovedSource(const QByteArray &source, const struct stat &copied, const QByteArray &folder, Error *error)
{
    if (!syncFolder(folder, error))
        return false;
    struct stat now { };
    if (lstat(source.constData(), &now) != 0 || !sameFile(now, copied))
        return fail(error, EBUSY, QStringLiteral("The source was replaced while it was copied; it is kept"));
    return unlink(source.constData()) == 0 || failWithErrno(error, errno);
}

std::function<void(QString &)> &readBackHook()
{
    static std::function<void(QString &)> hook;
    return hook;
}

// The temporary as the disk holds it must hash as the source did; until it does, it
// never takes the target's name.
bool readsBackAs(
    const Temporary &temporary, const QString &digest, int64_t size, const Progress &progress, Error *error)
{
    QString reason;
    bool stopped = false;
    const auto going = [&](int64_t) { return !(stopped = progress && !progress(size)); };
    std::optional<QString> readBack
        = VeskContentHash::ofFile(VeskFileName::decode(temporary.path), true, going, &reason);
    if (!readBack)
        return fail(error, stopped ? G_IO_ERROR_CANCELLED : EIO, reason);
    if (readBackHook())
        readBackHook()(*readBack);
    if (*readBack != digest)
        return fail(error, EIO,
            QStringLiteral("The copy reads back as xxh128 %1, the source as %2; the copy was removed")
                .arg(*readBack, digest));
    return true;
}

} // namespace

bool VeskFileCopy::copy(const QString &source, const QString &target, const Progress &progress, bool removeSource,
    VeskFileOperations::Digest *digest, Error *error)
{
    const QByteArray sourcePath = VeskFileName::encode(source);
    const QByteArray targetPath = VeskFileName::encode(target);
    const QByteArray folder = folderOf(targetPath);
    struct stat st { };
    // A move takes the link itself or nothing; a copy takes the data a link leads to.
    const Descriptor in = openRegular(sourcePath, !removeSource, st, error);
    if (in.get() < 0)
        return false;
    std::optional<Temporary> temporary = makeTemporary(folder, error);
    if (!temporary)
        return false;
    // A move removes its source only after the copy read back whole.
    const bool verify = removeSource || (digest && digest->verify);
    Transfer transfer(in.get(), temporary->fd.get());
    const bool written = copyData(transfer, temporary->fd.get(), verify, progress, error)
        && (!verify || isDurableWholeCopy(in.get(), temporary->fd.get(), error))
        && (!verify || readsBackAs(*temporary, transfer.digest(), st.st_size, progress, error));
    if (written) {
        copyExtendedAttributes(in.get(), temporary->fd.get());
        copyAttributes(sourcePath, temporary->path, !removeSource);
    }
    if (!written || !finishTemporary(*temporary, targetPath, error)) {
        unlink(temporary->path.constData());
        return false;
    }
    if (digest) {
        digest->source = transfer.digest();
        digest->verified = verify;
    }
    return !removeSource || removeMovedSource(sourcePath, st, folder, error);
}

void VeskFileCopy::setReadBackHook(std::function<void(QString &)> hook)
{
    readBackHook() = std::move(hook);
}

QStringList VeskFileCopy::removeStaleTemporaries(const QString &folder)
{
    QStringList removed;
    const QByteArray prefix = VeskFileName::encode(VeskFileOperations::temporaryPrefix());
    for (const QByteArray &name : VeskDirectory::namesIn(folder)) {
        if (!name.startsWith(prefix))
            continue;
        const QByteArray native = VeskFileName::encode(folder) + '/' + name;
        const QString path = VeskFileName::decode(native);
        struct stat before {
        }, opened {};
        if (lstat(native.constData(), &before) != 0 || !S_ISREG(before.st_mode))
            continue;
        const Descriptor fd(open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        // Held by a running copy, or a file system without locks: left alone.
        if (fd.get() < 0 || flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || fstat(fd.get(), &opened) != 0)
            continue;
        struct stat now { };
        if (lstat(native.constData(), &now) == 0 && sameFile(now, opened) && unlink(native.constData()) == 0)
            removed << path;
    }
    return removed;
}
