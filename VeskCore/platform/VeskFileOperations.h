#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

/// The file services of the actions: one-file copy and same-volume move through GIO,
/// the freedesktop trash, permanent removal, volume and access tests. Failures are
/// results with the platform's code and description; nothing throws.
class VeskFileOperations {
public:
    struct Error {
        long code = 0;
        QString description;
    };
    /// Called with the bytes copied so far; answering false stops the copy.
    using Progress = std::function<bool(int64_t bytesCopied)>;
    /// Asked before a permanent removal; answering false keeps the file.
    using RemovePermission = std::function<bool(const QString &path)>;

    /// The identity of a file: two paths name one file when these are equal, whatever
    /// mounts or links lead to it.
    struct Identity {
        uint64_t device = 0;
        uint64_t inode = 0;
        bool operator==(const Identity &) const = default;
    };
    enum class Kind { Missing, Regular, Link, Folder, Fifo, Socket, Device };
    struct Entry {
        Kind kind = Kind::Missing;
        Identity identity;
        /// Where a link points, as written in it.
        QString linkTarget;
        /// The error of a missing entry.
        Error error;
    };

    /// What a copy proves about the bytes it wrote.
    struct Digest {
        /// In: read the copy back from the disk and compare before it takes the target's name.
        bool verify = false;
        /// Out: the xxh128 of the bytes read from the source and written.
        QString source;
        /// Out: whether the copy was read back and found equal.
        bool verified = false;
    };

    /// Copies one regular file with its data and metadata (permissions, owner, times,
    /// extended attributes), replacing an existing target; a copy follows a symbolic
    /// link to the data, a move (removeSource) refuses one. Nothing else is opened: a
    /// folder, FIFO, socket or device is refused. The data goes to a temporary file in
    /// the target's folder, locked while written, that takes the target's name only
    /// when complete, so a copy that fails or is stopped leaves an existing target as it
    /// was and no partial file under its name. With removeSource the copy is made durable
    /// and read back (see Digest) before the source is removed. With a digest, the
    /// source's xxh128 is given back, and with its verify set a copy is read back too.
    static bool copyFile(const QString &source, const QString &target, const Progress &progress, bool removeSource,
        Error *error, Digest *digest = nullptr);
    /// Renames within one mount, replacing an existing target; never falls back to
    /// copying. Across mounts the error code is EXDEV.
    static bool moveFile(const QString &source, const QString &target, Error *error);
    /// Moves the file to the user's trash.
    static bool trashFile(const QString &path, Error *error);
    /// Removes the file for good once permission is given. A refusal is a success that
    /// removed nothing, as the caller's permission callback knows.
    static bool removeFile(const QString &path, const RemovePermission &permission, Error *error);

    /// Makes the folder and every missing parent.
    static bool makeFolder(const QString &path, Error *error);

    /// The mounted volume (device) the path lives on.
    static std::optional<uint64_t> volumeOf(const QString &path, Error *error);
    /// Whether this process, with its effective identity, may read or write the path.
    static bool isReadable(const QString &path);
    static bool isWritable(const QString &path);
    /// Whether anything, a dangling symbolic link included, is at the path.
    static bool exists(const QString &path);
    /// What is at the path: the link itself, or with followLink what it leads to.
    static Entry entryAt(const QString &path, bool followLink = false);
    /// The identity of the file the path leads to, links followed.
    static std::optional<Identity> identityOf(const QString &path);
    /// "a folder", "a FIFO", ... for the refusal messages.
    static QString kindName(Kind kind);
    /// Removes the temporary files in the folder that no running copy holds (left by a
    /// copy that was killed); returns their paths.
    static QStringList removeStaleTemporaries(const QString &folder);
    /// Prefix of the temporary files a copy writes next to its target.
    static QString temporaryPrefix() { return QStringLiteral(".vesk-copy-"); }
};
