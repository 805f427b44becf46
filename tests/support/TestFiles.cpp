#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestFiles::TestFiles() = default;

QString TestFiles::write(const QString &relativePath, const QByteArray &bytes) const
{
    const QString full = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return full;
}

QString TestFiles::writeSparse(const QString &relativePath, qint64 size) const
{
    const QString full = write(relativePath, {});
    QFile::resize(full, size);
    return full;
}
