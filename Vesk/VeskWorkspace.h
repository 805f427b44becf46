#pragma once

#include <QStringList>

#include <functional>

/// The desktop's file manager: shows files selected in their folders.
class VeskWorkspace {
public:
    using RevealHandler = std::function<void(const QStringList &paths)>;

    /// Asks the file manager to show the files selected; when it cannot be asked,
    /// opens the first file's folder instead, and when that fails too, says so in the
    /// status line. Returns at once.
    static void activateFileViewerSelectingURLs(const QStringList &paths);
    /// Replaces how files are revealed (tests); returns the previous handler.
    static RevealHandler setRevealHandler(RevealHandler handler);

private:
    static void reveal(const QStringList &paths);
    static void openFolderOf(const QString &path);
};
