#pragma once

#include <QString>

#include <cstdint>
#include <optional>

/// Size and creation time of a file in one query: the birth time where the file
/// system keeps one, the change time where it does not.
struct VeskFileStat {
    uint64_t size = 0;
    int64_t creationMSecs = 0;
    bool isDirectory = false;

    static std::optional<VeskFileStat> query(const QString &path);
    static std::optional<VeskFileStat> query(const char *nativePath);
    /// A file named relative to an open folder's descriptor (see VeskOpenFolder).
    static std::optional<VeskFileStat> query(int folder, const char *nativeName);
};
