#include "VolumeWriter.h"

#include "support/BinWriter.h"
#include "support/MXFWriter.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"

#include "readers/VeskMXF.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

struct VolumeWriter::Media {
    QByteArray name;
    QByteArray project;
    QByteArray fileUID;
    QByteArray materialUID;
    MdbMedia described;
    bool listed = true;
    bool onDisk = true;
    bool ama = false;
    uint64_t size = 0;
};

namespace {

const char *const kScenes[] = { "Interview", "Broll", "Drone", "Wide", "Close", "Insert", "Archive", "Music" };

QString uidKey(const QByteArray &uid)
{
    return QString::fromLatin1(uid.mid(uid.size() == 32 ? 16 : 0, 8).toHex());
}

} // namespace

VolumeWriter::VolumeWriter(Options options)
    : m_options(options)
    , m_random(options.seed)
{
}

VolumeWriter::~VolumeWriter() = default;

bool VolumeWriter::chance(double rate)
{
    return std::uniform_real_distribution<double>(0, 1)(m_random) < rate;
}

VolumeWriter::Media VolumeWriter::makeMedia(int folder, int index)
{
    Media media;
    const uint64_t uid = m_nextUID++;
    const bool audio = chance(m_options.audio);
    media.name = QStringLiteral("%1%2_%3%4.%5.mxf")
                     .arg(QLatin1String(kScenes[m_random() % 8]))
                     .arg(folder)
                     .arg(index, 3, 10, QLatin1Char('0'))
                     .arg(chance(m_options.nonPortable) ? QStringLiteral("|") : QString())
                     .arg(audio ? QStringLiteral("A1") : QStringLiteral("V1"))
                     .toLatin1();
    media.project = QStringLiteral("Project %1").arg(m_random() % m_options.projects + 1).toLatin1();
    media.fileUID = MediaIndexWriter::makeUID(8, uid, false);
    media.materialUID = MediaIndexWriter::makeUID(8, uid, true);
    if (chance(m_options.badUMID))
        media.fileUID[0] = 0x07;
    media.described.fileUID = media.fileUID;
    media.described.materialUID = media.materialUID;
    media.described.nameInBin = media.name.left(media.name.indexOf('.'));
    media.described.project = media.project;
    media.described.usageCode = chance(m_options.precomputes) ? 1u : (chance(m_options.imported) ? 15u : 0u);
    media.described.imported = media.described.usageCode == 15u;
    media.described.fourCC = audio ? QByteArray("_AUD") : QByteArray("AVdn");
    media.described.resolutionID = audio ? 0 : 1237;
    media.described.sampleRateNumerator = audio ? 48000 : 25;
    media.described.bits = audio ? 24 : 8;
    media.listed = !chance(m_options.unlisted);
    media.onDisk = !media.listed || !chance(m_options.missing);
    media.ama = media.listed && media.onDisk && chance(m_options.ama);
    media.size = audio ? 1000000 + m_random() % 50000000 : 20000000 + m_random() % 2000000000;
    return media;
}

bool VolumeWriter::writeMediaFile(const QString &path, const Media &media) const
{
    // The index holds the UIDs in the order the scanner compares; an MXF file stores the
    // material number's first fields big-endian, and the swap is its own inverse.
    if (m_options.realMXF && !media.ama)
        return MXFWriter::writeOpAtom(path,
            { QString::fromLatin1(media.described.nameInBin), QString::fromLatin1(media.project),
                VeskMXF::swapUUIDfromMXFtoVesk(media.materialUID), VeskMXF::swapUUIDfromMXFtoVesk(media.fileUID) });
    QFile file(media.ama ? path + QStringLiteral(".aaf") : path);
    return file.open(QIODevice::WriteOnly) && file.resize(media.ama ? 4096 : qint64(media.size));
}

// Creating a file costs the file system far more than making up its media: the files
// are created on the pool, the first failure kept for write() to report.
// A few folders wait their turn at most, so that the lists stay small.
void VolumeWriter::createFiles(std::vector<std::pair<QString, Media>> files)
{
    m_waitingFolders.acquire();
    m_filePool.start([this, files = std::move(files)] {
        for (const auto &[path, media] : files) {
            if (!writeMediaFile(path, media)) {
                QMutexLocker locker(&m_failureLock);
                if (m_failedPath.isEmpty())
                    m_failedPath = path;
                break;
            }
        }
        m_waitingFolders.release();
    });
}

// False, with the message, once a media file could not be written.
bool VolumeWriter::filesWritten(QString *error)
{
    QMutexLocker locker(&m_failureLock);
    if (m_failedPath.isEmpty())
        return true;
    *error = QStringLiteral("cannot write %1").arg(m_failedPath);
    return false;
}

bool VolumeWriter::writeFolder(const QString &root, int folder, QString *error)
{
    const QString dir = root + QStringLiteral("/Avid MediaFiles/MXF/%1").arg(folder);
    if (!filesWritten(error))
        return false;
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("cannot make %1").arg(dir);
        return false;
    }
    MediaIndexWriter index;
    MdbWriter mdb;
    std::vector<Media> thisFolder;
    std::vector<std::pair<QString, Media>> files;
    for (int i = 0; i < m_options.files; ++i) {
        Media media = makeMedia(folder, i);
        if (!m_lastFolder.empty() && chance(m_options.copies)) {
            media = m_lastFolder[m_random() % m_lastFolder.size()]; // the same media in a second folder
            media.onDisk = true;
            media.ama = false;
        }
        if (media.listed)
            thisFolder.push_back(media);
        const QString path = dir + QLatin1Char('/') + QString::fromLatin1(media.name);
        if (media.listed) {
            index.record({ media.name, media.project, media.fileUID, media.materialUID });
            mdb.media(media.described);
            m_listedUIDs.append(uidKey(media.fileUID));
        }
        if (media.onDisk)
            files.emplace_back(path, media);
        m_items.append(QJsonObject { { QStringLiteral("path"), media.ama ? path + QStringLiteral(".aaf") : path },
            { QStringLiteral("name"), QString::fromLatin1(media.name) },
            { QStringLiteral("project"),
                media.listed ? QString::fromLatin1(media.project) : QStringLiteral("_00_VSK_UNMANAGED_FILES") },
            { QStringLiteral("uid"), media.listed ? uidKey(media.fileUID) : QString() },
            { QStringLiteral("listed"), media.listed }, { QStringLiteral("exists"), media.onDisk },
            { QStringLiteral("ama"), media.ama } });
    }
    m_lastFolder = std::move(thisFolder);
    createFiles(std::move(files));
    if (!index.writeTo(dir + QStringLiteral("/msmFMID.pmr")) || !mdb.writeTo(dir + QStringLiteral("/msmMMOB.mdb"))) {
        *error = QStringLiteral("cannot write the index of %1").arg(dir);
        return false;
    }
    return true;
}

bool VolumeWriter::writeBins(const QString &root, QString *error)
{
    if (m_options.bins > 0 && !QDir().mkpath(root + QStringLiteral("/Bins")))
        return false;
    for (int b = 1; b <= m_options.bins; ++b) {
        BinWriter bin;
        bin.creator("Vesk volume writer");
        QJsonArray references;
        std::vector<VeskUUID> uids;
        for (const QJsonValue &uid : m_listedUIDs) {
            if (!chance(0.3))
                continue;
            const QByteArray bytes = QByteArray::fromHex(uid.toString().toLatin1());
            VeskUUID stored;
            std::copy(bytes.begin(), bytes.end(), stored.UMIDx.begin() + 16);
            uids.push_back(stored);
            references.append(uid);
        }
        bin.clip(QStringLiteral("Sequence %1").arg(b).toLatin1(), uids);
        const QString path = root + QStringLiteral("/Bins/Bin %1.avb").arg(b);
        if (!bin.write(path)) {
            *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
        m_binReferences.insert(path, references);
    }
    return true;
}

bool VolumeWriter::write(const QString &root, QString *error)
{
    for (int folder = 1; folder <= m_options.folders; ++folder)
        if (!writeFolder(root, folder, error))
            return false;
    m_filePool.waitForDone();
    if (!filesWritten(error) || !writeBins(root, error))
        return false;
    QFile expected(root + QStringLiteral("/expected.json"));
    const QJsonObject document { { QStringLiteral("items"), m_items }, { QStringLiteral("bins"), m_binReferences } };
    if (!expected.open(QIODevice::WriteOnly) || expected.write(QJsonDocument(document).toJson()) < 0) {
        *error = QStringLiteral("cannot write %1").arg(expected.fileName());
        return false;
    }
    return true;
}
