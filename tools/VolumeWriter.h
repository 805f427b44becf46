#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QThreadPool>

#include <cstdint>
#include <random>
#include <vector>

/// Writes a synthetic Avid volume: numbered media folders under "Avid MediaFiles/MXF"
/// with media index, media database and media files, bins under "Bins" that reference
/// chosen media, and "expected.json" saying what a scan must find.
class VolumeWriter {
public:
    struct Options {
        int folders = 4;
        int files = 60;
        int projects = 3;
        int bins = 3;
        uint32_t seed = 1;
        bool realMXF = false;
        double missing = 0.05;
        double unlisted = 0.05;
        double ama = 0.03;
        double nonPortable = 0.02;
        double badUMID = 0.02;
        double precomputes = 0.1;
        double imported = 0.05;
        double audio = 0.2;
        double copies = 0.03; ///< share of media present in a second folder too
    };

    explicit VolumeWriter(Options options);
    ~VolumeWriter();
    /// Writes the volume under root; false with a message when a file cannot be written.
    bool write(const QString &root, QString *error);

private:
    struct Media;
    Media makeMedia(int folder, int index);
    bool writeFolder(const QString &root, int folder, QString *error);
    bool writeMediaFile(const QString &path, const Media &media) const;
    void createFiles(std::vector<std::pair<QString, Media>> files);
    bool filesWritten(QString *error);
    bool writeBins(const QString &root, QString *error);
    bool chance(double rate);

    Options m_options;
    std::mt19937 m_random;
    uint64_t m_nextUID = 1;
    QJsonArray m_items;
    QJsonArray m_listedUIDs;
    std::vector<Media> m_lastFolder; // listed media that a later folder may hold again
    QJsonObject m_binReferences;
    QMutex m_failureLock;
    QString m_failedPath; // the first media file that could not be written
    QSemaphore m_waitingFolders { 8 };
    // Creates the media files of one folder while the next is made up; last, so that it
    // is waited for before anything its work uses goes away.
    QThreadPool m_filePool;
};
