#pragma once

#include "platform/VeskFileOperations.h"

#include <QStringList>

/// The data copy behind VeskFileOperations::copyFile: a regular source (never a FIFO,
/// device or folder, which are refused without blocking) into a locked temporary file
/// next to the target, in steps sized to take a few hundredths of a second each, so
/// that a stop is honoured within a fraction of a second on a slow volume as on a fast
/// one. The temporary takes the target's name only when whole.
class VeskFileCopy {
public:
    static bool copy(const QString &source, const QString &target, const VeskFileOperations::Progress &progress,
        bool removeSource, VeskFileOperations::Error *error);
    /// Removes the temporary files in the folder that no copy holds locked (left by a
    /// process that was killed); returns their paths.
    static QStringList removeStaleTemporaries(const QString &folder);
};
