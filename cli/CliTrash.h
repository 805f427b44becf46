#pragma once

#include <QString>

/// Where the freedesktop trash puts a file, so that a question or a plan can say so.
class CliTrash {
public:
    /// The trash folder for the file: the user's own when the file is on the volume of
    /// the home folder, otherwise the one at the top of the file's volume.
    static QString folderFor(const QString &path);

private:
    static QString topOfVolume(const QString &path);
};
