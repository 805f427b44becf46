#pragma once

#include "platform/VeskFileOperations.h"

#include <QStringList>

#include <functional>

/// The data copy behind VeskFileOperations::copyFile: a regular source (never a FIFO,
/// device or folder, which are refused without blocking) into a locked temporary file
/// next to the target, in steps sized to take a few hundredths of a second each, so
/// that a stop is honoured within a fraction of a second on a slow volume as on a fast
/// one. Every byte passes through this process and is hashed (xxh128) on its way. With
/// verification (always for a move) the temporary is written out, dropped from the page
/// cache and read back; it takes the target's name only when whole and, if verified,
/// equal to what was read from the source.
class VeskFileCopy {
public:
    static bool copy(const QString &source, const QString &target, const VeskFileOperations::Progress &progress,
        bool removeSource, VeskFileOperations::Digest *digest, VeskFileOperations::Error *error);
    /// Sees, and may change, each read-back digest before it is compared: how tests
    /// make a copy come back different.
    static void setReadBackHook(std::function<void(QString &digest)> hook);
    /// Removes the temporary files in the folder that no copy holds locked (left by a
    /// process that was killed); returns their paths.
    static QStringList removeStaleTemporaries(const QString &folder);
};
