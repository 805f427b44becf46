#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

/// Directory listing with POSIX calls: one readdir per folder, types from the entry
/// where the file system gives them, hidden entries included. Paths are decoded and
/// encoded with VeskFileName, so every name on disk is reachable, whatever its bytes.
class VeskDirectory {
public:
    enum class Kind { File, Folder, Unknown };
    using Visitor = std::function<void(const QString &path, Kind kind)>;
    using Reporter = std::function<void(const QString &message)>;

    /// The names in one folder as the file system holds them, without "." and "..";
    /// empty when it cannot be read.
    static QList<QByteArray> namesIn(const QString &folder, bool *ok = nullptr);
    /// Every entry below the folder, depth first, without recursion. Links to folders
    /// are followed, and every folder is entered once: a folder reached again (a link
    /// loop, or a second way to one folder), told apart by device and inode, is
    /// reported and neither visited nor entered. Folders that cannot be read are
    /// reported and skipped.
    static void walk(const QString &root, const Visitor &visit, const Reporter &report);
    static bool isFolder(const QString &path);
    static bool exists(const QString &path);
};
