#include "platform/VeskSettings.h"

#include <QFile>

namespace {

QString resourceText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

VeskSettings &VeskSettings::shared()
{
    static VeskSettings settings;
    return settings;
}

void VeskSettings::usePersistentStore()
{
    QMutexLocker locker(&m_lock);
    m_store = std::make_unique<QSettings>(QStringLiteral("Vesk"), QStringLiteral("Vesk"));
    m_memory.clear();
}

void VeskSettings::useMemoryStore()
{
    QMutexLocker locker(&m_lock);
    m_store.reset();
    m_memory.clear();
}

void VeskSettings::registerDefaults(const QVariantMap &defaults)
{
    QMutexLocker locker(&m_lock);
    m_defaults.insert(defaults);
}

void VeskSettings::registerStandardDefaults()
{
    QVariantMap columns;
    for (const char *id : { "IconCellID", "BitsCellID", "ClipnameCellID", "CompressionCellID", "DateCellID",
             "FilenameCellID", "FramerateCellID", "KindCellID", "PathCellID", "ProjectCellID", "SamplerateCellID",
             "SizeCellID", "UsedByBinsCellID" })
        columns.insert(QString::fromLatin1(id), 1);
    for (const char *id :
        { "ExistsCellID", "hash", "materialPackageUID", "filePackageUID", "sourceFileID", "sourceTapeID" })
        columns.insert(QString::fromLatin1(id), 0);
    registerDefaults({
        { QStringLiteral("ShowOnlyExistingFiles"), 1 },
        { QStringLiteral("ScanMDB"), 1 },
        { QStringLiteral("ScanMXF"), 1 },
        { QStringLiteral("ExternalAppBundleID"), QStringLiteral("mediainfo-gui.desktop") },
        { QStringLiteral("kUserDefaultsKeyVisisbleColumns"), columns },
        { QStringLiteral("ExtPythonMailer"), resourceText(QStringLiteral(":/mailer.py")) },
        { QStringLiteral("ExtPythonMailerTimeLimit"), 60 },
        { QStringLiteral("VerifyCopies"), 1 },
    });
}

QVariant VeskSettings::value(const QString &key) const
{
    QMutexLocker locker(&m_lock);
    if (m_store && m_store->contains(key))
        return m_store->value(key);
    if (!m_store && m_memory.contains(key))
        return m_memory.value(key);
    return m_defaults.value(key);
}

int VeskSettings::integerForKey(const QString &key) const
{
    return value(key).toInt();
}

QString VeskSettings::stringForKey(const QString &key) const
{
    return value(key).toString();
}

void VeskSettings::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker locker(&m_lock);
    if (m_store)
        m_store->setValue(key, value);
    else
        m_memory.insert(key, value);
}

void VeskSettings::sync()
{
    QMutexLocker locker(&m_lock);
    if (m_store)
        m_store->sync();
}
