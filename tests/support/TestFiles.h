#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

/// A temporary folder for one test, with helpers to put files into it.
class TestFiles {
public:
    QString path() const { return m_dir.path(); }
    /// Writes the bytes to the relative path, making the folders on the way.
    QString write(const QString &relativePath, const QByteArray &bytes) const;
    /// Makes a sparse file of the given size.
    QString writeSparse(const QString &relativePath, qint64 size) const;
    /// Writes the bytes to the file, making its folders; false when it cannot.
    static bool writeFile(const QString &path, const QByteArray &bytes);

private:
    QTemporaryDir m_dir;
};
