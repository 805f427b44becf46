#pragma once

#include <QStringList>

/// The mounted volumes a user sees in the file manager (GIO's user-visible mounts),
/// as mount points, in the order the system lists them.
class VeskMountedVolumes {
public:
    static QStringList mountedVolumes();
};
