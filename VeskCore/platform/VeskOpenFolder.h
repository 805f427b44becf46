#pragma once

#include "platform/VeskFileStat.h"

#include <QString>

#include <optional>

/// A folder held open, so that the files in it are examined by name without the
/// kernel resolving the folder's whole path again for each of them.
class VeskOpenFolder {
public:
    explicit VeskOpenFolder(const QString &path);
    ~VeskOpenFolder();
    VeskOpenFolder(const VeskOpenFolder &) = delete;
    VeskOpenFolder &operator=(const VeskOpenFolder &) = delete;

    const QString &path() const { return m_path; }
    /// The attributes of the file of this folder with the (decoded) name; through the
    /// full path when the folder could not be opened.
    std::optional<VeskFileStat> stat(const QString &fileName) const;

private:
    const QString m_path;
    const int m_descriptor;
};
