#include "VeskMountedVolumes.h"

#include <gio/gunixmounts.h>

QStringList VeskMountedVolumes::mountedVolumes()
{
    QStringList volumes;
    GList *mounts = g_unix_mounts_get(nullptr);
    for (GList *node = mounts; node; node = node->next) {
        auto *mount = static_cast<GUnixMountEntry *>(node->data);
        if (g_unix_mount_guess_should_display(mount))
            volumes.push_back(QString::fromLocal8Bit(g_unix_mount_get_mount_path(mount)));
    }
    g_list_free_full(mounts, reinterpret_cast<GDestroyNotify>(g_unix_mount_free));
    return volumes;
}
