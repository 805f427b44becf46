#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString TestFiles::write(const QString &relativePath, const QByteArray &bytes) const
{
    const QString full = m_dir.filePath(relativePath);
    writeFile(full, bytes);
    return full;
}

bool TestFiles::writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString TestFiles::writeSparse(const QString &relativePath, qint64 size) const
{
    const QString full = write(relativePath, {});
    QFile::resize(full, size);
    return full;
}
