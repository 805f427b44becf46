#include "platform/VeskContentHash.h"

#include "platform/VeskFileName.h"

#include <xxhash.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kReadSize = 1 << 20;

void freeState(XXH3_state_t *state)
{
    XXH3_freeState(state);
}

bool failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

bool failedWithErrno(QString *error)
{
    return failed(error, QString::fromLocal8Bit(std::strerror(errno)));
}

bool hashDescriptor(int fd, VeskContentHash &hash, const VeskContentHash::Progress &progress, QString *error)
{
    std::vector<char> buffer(kReadSize);
    int64_t done = 0;
    for (;;) {
        if (progress && !progress(done))
            return failed(error, QStringLiteral("Operation was cancelled"));
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failedWithErrno(error);
        if (n == 0)
            return true;
        hash.add(buffer.data(), size_t(n));
        done += n;
    }
}

} // namespace

VeskContentHash::VeskContentHash()
    : m_state(XXH3_createState(), freeState)
{
    XXH3_128bits_reset(m_state.get());
}

VeskContentHash::~VeskContentHash() = default;

void VeskContentHash::add(const void *data, size_t size)
{
    XXH3_128bits_update(m_state.get(), data, size);
}

QString VeskContentHash::hex() const
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(m_state.get()));
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(canonical.digest), 16).toHex());
}

std::optional<QString> VeskContentHash::ofFile(
    const QString &path, bool fromDisk, const Progress &progress, QString *error)
{
    // Non-blocking open: a FIFO or device put where a file was expected is refused, not waited on.
    const int fd = open(VeskFileName::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failedWithErrno(error);
        return std::nullopt;
    }
    struct stat st { };
    bool ok = fstat(fd, &st) == 0 || failedWithErrno(error);
    ok = ok && (S_ISREG(st.st_mode) || failed(error, QStringLiteral("Not a regular file")));
    if (ok && fromDisk) {
        // Pages a writer left dirty must reach the disk before they can be dropped.
        ok = fdatasync(fd) == 0 || failedWithErrno(error);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    VeskContentHash hash;
    ok = ok && hashDescriptor(fd, hash, progress, error);
    close(fd);
    if (!ok)
        return std::nullopt;
    return hash.hex();
}
