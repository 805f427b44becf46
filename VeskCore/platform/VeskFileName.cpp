#include "platform/VeskFileName.h"

#include <QFile>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the UTF-8 sequence its lead byte announces; 0 for a byte that cannot lead.
qsizetype sequenceLength(uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

bool isEscape(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

} // namespace

QString VeskFileName::decode(QByteArrayView native)
{
    if (native.isValidUtf8())
        return QString::fromUtf8(native);
    QString decoded;
    decoded.reserve(native.size());
    qsizetype offset = 0;
    while (offset < native.size()) {
        const auto lead = uint8_t(native[offset]);
        const qsizetype length = sequenceLength(lead);
        if (length > 0 && native.size() - offset >= length && native.sliced(offset, length).isValidUtf8()) {
            decoded += QString::fromUtf8(native.sliced(offset, length));
            offset += length;
        } else {
            decoded += QChar(char16_t(kEscapeBase + lead));
            ++offset;
        }
    }
    return decoded;
}

QByteArray VeskFileName::encode(QStringView path)
{
    QByteArray native;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < path.size() && QChar::isLowSurrogate(path[i + 1].unicode())) {
            ++i; // a pair is one character, never an escape
            continue;
        }
        if (!isEscape(unit))
            continue;
        native += path.sliced(runStart, i - runStart).toUtf8();
        native += char(unit - kEscapeBase);
        runStart = i + 1;
    }
    // A name without escapes, the usual one, converts in one piece.
    if (runStart == 0)
        return path.toUtf8();
    native += path.sliced(runStart).toUtf8();
    return native;
}

QString VeskFileName::display(QByteArrayView native)
{
    return native.isValidUtf8() ? QString::fromUtf8(native) : QString::fromLatin1(native);
}

QString VeskFileName::displayDecoded(const QString &decoded)
{
    const bool escaped = std::any_of(decoded.begin(), decoded.end(), [](QChar c) { return isEscape(c.unicode()); });
    return escaped ? display(QByteArrayView(encode(decoded))) : decoded;
}

bool VeskFileName::isFileName(QByteArrayView name)
{
    constexpr qsizetype kLongestName = 255;
    return !name.isEmpty() && name.size() <= kLongestName && name != "." && name != ".." && !name.contains('/')
        && !name.contains('\0');
}

// Not blocking, so that a FIFO under a media file's name cannot hold the reader; only
// regular files are read.
bool VeskFileName::openForReading(QFile &file, const QString &path)
{
    const int fd = ::open(encode(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st { };
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}
