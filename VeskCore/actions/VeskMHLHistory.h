#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

/// The ASC MHL history of a managed folder: the generations in its `ascmhl/` folder and
/// the chain file that names each by its C4 id. Reads what is there and appends the
/// next generation; earlier generations are never touched.
class VeskMHLHistory {
public:
    /// One file as a generation records it. Paths are relative to the managed folder,
    /// with "/" between names.
    struct Hash {
        QString path;
        int64_t size = 0;
        QDateTime modified;
        QString xxh128; // empty when the file was recorded with other formats only
        QString action; // original, verified or failed
    };
    struct Generation {
        int number = 0;
        QString fileName;
        QString c4; // as the chain names it
        std::vector<Hash> hashes;
    };

    explicit VeskMHLHistory(QString managedFolder);

    static QString folderName() { return QStringLiteral("ascmhl"); }
    QString historyFolder() const;
    bool exists() const;

    /// Reads the chain and every generation it names. Problems of the chain (a manifest
    /// missing, changed or unreadable, a manifest the chain does not name) are collected,
    /// not fatal; false only when the history folder cannot be read at all.
    bool read(QString *error);
    const std::vector<Generation> &generations() const { return m_generations; }
    const QStringList &chainProblems() const { return m_chainProblems; }
    /// The newest good xxh128 recorded for each path (original or verified, never
    /// failed), with its size and date.
    std::map<QString, Hash> latest() const;

    /// Writes generation N+1 (process "transfer" or "in-place") and then the chain,
    /// each through a temporary file that takes the final name when whole.
    bool append(const QString &process, const std::vector<Hash> &hashes, QString *error);

    /// The path relative to the managed folder, or empty when the file lies outside it.
    QString relativePath(const QString &file) const;
    /// Whether a recorded path stays inside the managed folder.
    static bool isSafePath(const QString &path);

private:
    struct ChainEntry {
        int number;
        QString fileName;
        QString c4;
    };
    std::vector<ChainEntry> readChain(QString *error) const;
    bool readGeneration(Generation &generation);
    int nextNumber() const;
    QByteArray manifestBytes(const QString &process, const std::vector<Hash> &hashes) const;
    QByteArray chainBytes(const std::vector<ChainEntry> &entries) const;

    QString m_folder;
    std::vector<Generation> m_generations;
    QStringList m_chainProblems;
};
