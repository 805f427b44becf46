#pragma once

#include <QMutex>
#include <QSettings>
#include <QVariantMap>

#include <memory>

/// The user's settings: stored values over registered defaults. Without a persistent
/// store (tests, the command line) stored values live in memory for the run only.
/// Safe to read from any thread.
class VeskSettings {
public:
    static VeskSettings &shared();

    /// Keeps stored values in the user's preferences store from now on.
    void usePersistentStore();
    /// Forgets stored values and detaches the preferences store (tests, the command line).
    void useMemoryStore();

    void registerDefaults(const QVariantMap &defaults);
    /// The defaults every front end registers at start: existence check, MDB and MXF
    /// scanning, the external application, the visible columns, the post-action script
    /// and its time limit.
    void registerStandardDefaults();

    QVariant value(const QString &key) const;
    int integerForKey(const QString &key) const;
    QString stringForKey(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    /// Writes the stored values to the preferences store now.
    void sync();

private:
    VeskSettings() = default;

    mutable QMutex m_lock;
    QVariantMap m_defaults;
    QVariantMap m_memory;
    std::unique_ptr<QSettings> m_store;
};
