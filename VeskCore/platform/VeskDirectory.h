#pragma once

#include <QString>
#include <QStringList>

#include <functional>

/// Directory listing with POSIX calls: one readdir per folder, types from the entry
/// where the file system gives them, hidden entries included.
class VeskDirectory {
public:
    enum class Kind { File, Folder, Unknown };
    using Visitor = std::function<void(const QString &path, Kind kind)>;
    using ErrorHandler = std::function<void(const QString &message)>;

    /// The names in one folder, without "." and ".."; empty when it cannot be read.
    static QStringList namesIn(const QString &folder, bool *ok = nullptr);
    /// Every entry below the folder, depth first, without recursion. Folders that
    /// cannot be read are reported and skipped.
    static void walk(const QString &root, const Visitor &visit, const ErrorHandler &error);
    static bool isFolder(const QString &path);
    static bool exists(const QString &path);
};
