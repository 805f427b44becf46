#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QFile;

/// File names and paths as the file system holds them: bytes. A decoded path keeps
/// every byte: valid UTF-8 becomes its characters and each byte of an invalid sequence
/// the lone surrogate U+DC80 to U+DCFF, so encode() gives back exactly the bytes that
/// decode() was given. Qt's own conversion replaces invalid bytes, which would make a
/// file unreachable or, worse, lead to another file whose name holds the replacement.
class VeskFileName {
public:
    static QString decode(QByteArrayView native);
    static QByteArray encode(QStringView path);
    /// The text to show for a name's bytes: UTF-8 when valid, else Latin-1.
    static QString display(QByteArrayView native);
    /// The same for a decoded name or path; the string itself when it is valid UTF-8.
    static QString displayDecoded(const QString &decoded);
    /// Opens the regular file at a decoded path for reading, by its exact bytes; false
    /// for anything else (a FIFO, a device, a folder).
    static bool openForReading(QFile &file, const QString &path);
    /// Whether the bytes name one entry of a folder: not empty, `.` or `..`, no `/` or
    /// NUL, at most 255 bytes. A name joined to its folder then names nothing else.
    static bool isFileName(QByteArrayView name);
};
