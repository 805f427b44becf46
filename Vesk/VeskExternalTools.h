#pragma once

#include <QStringList>

class VeskCore;
class VeskTableView;

/// The commands that hand the selected media to something outside: an application
/// named by its desktop-file id, and the user's selection script.
class VeskExternalTools {
public:
    /// The files of the selected rows, in row order; rows whose file is missing are left out.
    static QStringList selectedMedia(const VeskCore &core, const VeskTableView &table);

    /// Opens the files, all at once, with the application of the desktop-file id ("x" is
    /// taken as "x.desktop"). A missing application or a failed launch gives the alert
    /// "External App not found"; the result says whether it started.
    static bool OpenInExternalApp(const QStringList &paths, const QString &desktopId);

    /// Puts the paths on the clipboard, separated by carriage returns, and starts the
    /// script with /bin/sh, the paths also in VESK_SELECTION, one per line. The
    /// script's result and errors are not looked at. Returns whether it started.
    static bool ExecuteApplescript(const QStringList &paths, const QString &script);
};
