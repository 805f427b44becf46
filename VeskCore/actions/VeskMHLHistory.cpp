#include "actions/VeskMHLHistory.h"

#include "actions/VeskC4Id.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSysInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kChainName = QStringLiteral("ascmhl_chain.xml");
const QString kManifestNamespace = QStringLiteral("urn:ASC:MHL:v2.0");
const QString kChainNamespace = QStringLiteral("urn:ASC:MHL:DIRECTORY:v2.0");
// Larger manifests than this are not read: a history lists files, not their data.
constexpr qint64 kLargestManifest = qint64(1) << 30;

bool failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString isoDate(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODate);
}

QByteArray readSmallFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failed(error, file.errorString());
        return {};
    }
    if (file.size() > kLargestManifest) {
        failed(error, QStringLiteral("too large to be a manifest"));
        return {};
    }
    return file.readAll();
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failed(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
    return true;
}

// Held while a generation is added, so that two processes adding to one history at
// once take different numbers and neither loses the other's chain entry.
class HistoryLock {
public:
    explicit HistoryLock(const QString &folder)
        : m_fd(open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd >= 0)
            flock(m_fd, LOCK_EX);
    }
    ~HistoryLock()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    HistoryLock(const HistoryLock &) = delete;
    HistoryLock &operator=(const HistoryLock &) = delete;

private:
    int m_fd;
};

int numberOf(const QString &manifestName)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4,})_.*\\.mhl$"));
    const QRegularExpressionMatch match = pattern.match(manifestName);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The children of one hash element: its path and its xxh128; other formats and
// metadata are passed over.
VeskMHLHistory::Hash readHash(QXmlStreamReader &xml)
{
    VeskMHLHistory::Hash hash;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("path")) {
            hash.size = xml.attributes().value(QLatin1String("size")).toLongLong();
            hash.modified = QDateTime::fromString(
                xml.attributes().value(QLatin1String("lastmodificationdate")).toString(), Qt::ISODate);
            hash.path = xml.readElementText();
        } else if (xml.name() == QLatin1String("xxh128")) {
            hash.action = xml.attributes().value(QLatin1String("action")).toString();
            hash.xxh128 = xml.readElementText().trimmed().toLower();
        } else {
            xml.skipCurrentElement();
        }
    }
    return hash;
}

} // namespace

VeskMHLHistory::VeskMHLHistory(QString managedFolder)
    : m_folder(QDir::cleanPath(std::move(managedFolder)))
{
}

QString VeskMHLHistory::historyFolder() const
{
    return m_folder + QLatin1Char('/') + folderName();
}

bool VeskMHLHistory::exists() const
{
    return QFileInfo(historyFolder()).isDir();
}

QString VeskMHLHistory::relativePath(const QString &file) const
{
    const QString relative = QDir(m_folder).relativeFilePath(QDir::cleanPath(file));
    return isSafePath(relative) ? relative : QString();
}

bool VeskMHLHistory::isSafePath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QChar(u'\0')))
        return false;
    const QStringList names = path.split(QLatin1Char('/'));
    return std::none_of(names.cbegin(), names.cend(), [](const QString &name) {
        return name.isEmpty() || name == QLatin1String("..") || name == QLatin1String(".");
    });
}

std::vector<VeskMHLHistory::ChainEntry> VeskMHLHistory::readChain(QString *error) const
{
    std::vector<ChainEntry> entries;
    const QString path = historyFolder() + QLatin1Char('/') + kChainName;
    if (!QFileInfo::exists(path))
        return entries;
    QXmlStreamReader xml(readSmallFile(path, error));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("hashlist"))
            entries.push_back({ xml.attributes().value(QLatin1String("sequencenr")).toInt(), {}, {} });
        else if (xml.name() == QLatin1String("path") && !entries.empty())
            entries.back().fileName = xml.readElementText();
        else if (xml.name() == QLatin1String("c4") && !entries.empty())
            entries.back().c4 = xml.readElementText();
    }
    if (xml.hasError())
        failed(error, QStringLiteral("%1: %2").arg(path, xml.errorString()));
    return entries;
}

bool VeskMHLHistory::readGeneration(Generation &generation)
{
    const QString path = historyFolder() + QLatin1Char('/') + generation.fileName;
    QString error;
    const QByteArray bytes = readSmallFile(path, &error);
    if (!error.isEmpty()) {
        m_chainProblems << QStringLiteral("%1: %2").arg(generation.fileName, error);
        return false;
    }
    if (VeskC4Id::of(bytes) != generation.c4)
        m_chainProblems << QStringLiteral("%1: its C4 id is not the one the chain holds").arg(generation.fileName);
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("hash"))
            generation.hashes.push_back(readHash(xml));
    }
    if (xml.hasError())
        m_chainProblems << QStringLiteral("%1: %2").arg(generation.fileName, xml.errorString());
    return !xml.hasError();
}

bool VeskMHLHistory::read(QString *error)
{
    m_generations.clear();
    m_chainProblems.clear();
    if (!exists())
        return failed(error, QStringLiteral("%1 has no %2 folder").arg(m_folder, folderName()));
    QString chainError;
    const std::vector<ChainEntry> chain = readChain(&chainError);
    if (!chainError.isEmpty())
        m_chainProblems << chainError;
    QStringList named;
    for (const ChainEntry &entry : chain) {
        named << entry.fileName;
        Generation generation { entry.number, entry.fileName, entry.c4, {} };
        if (!isSafePath(entry.fileName) || entry.fileName.contains(QLatin1Char('/')))
            m_chainProblems << QStringLiteral("%1: not a manifest of this folder").arg(entry.fileName);
        else if (readGeneration(generation))
            m_generations.push_back(std::move(generation));
    }
    for (const QString &name : QDir(historyFolder()).entryList({ QStringLiteral("*.mhl") }, QDir::Files))
        if (!named.contains(name))
            m_chainProblems << QStringLiteral("%1: the chain does not name it").arg(name);
    return true;
}

std::map<QString, VeskMHLHistory::Hash> VeskMHLHistory::latest() const
{
    std::map<QString, Hash> newest;
    // A failed entry records what was found, not what the file should hold: the file
    // is still measured against the last good digest.
    for (const Generation &generation : m_generations)
        for (const Hash &hash : generation.hashes)
            if ((!hash.xxh128.isEmpty() && hash.action != QLatin1String("failed")) || !newest.count(hash.path))
                newest[hash.path] = hash;
    return newest;
}

int VeskMHLHistory::nextNumber() const
{
    int highest = 0;
    for (const QString &name : QDir(historyFolder()).entryList({ QStringLiteral("*.mhl") }, QDir::Files))
        highest = std::max(highest, numberOf(name));
    QString ignored;
    for (const ChainEntry &entry : readChain(&ignored))
        highest = std::max(highest, entry.number);
    return highest + 1;
}

bool VeskMHLHistory::append(const QString &process, const std::vector<Hash> &hashes, QString *error)
{
    if (!QDir().mkpath(historyFolder()))
        return failed(error, QStringLiteral("%1 cannot be made").arg(historyFolder()));
    const HistoryLock lock(historyFolder());
    QString chainError;
    std::vector<ChainEntry> chain = readChain(&chainError);
    // Rewriting a chain that cannot be read would drop the generations it names.
    if (!chainError.isEmpty())
        return failed(error, chainError);
    const int number = nextNumber();
    const QString managedName = QFileInfo(m_folder).fileName();
    const QString name = QStringLiteral("%1_%2_%3Z.mhl")
                             .arg(number, 4, 10, QLatin1Char('0'))
                             .arg(managedName.isEmpty() ? QStringLiteral("root") : managedName,
                                 QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd_HHmmss")));
    const QByteArray manifest = manifestBytes(process, hashes);
    if (!writeWhole(historyFolder() + QLatin1Char('/') + name, manifest, error))
        return false;
    chain.push_back({ number, name, VeskC4Id::of(manifest) });
    return writeWhole(historyFolder() + QLatin1Char('/') + kChainName, chainBytes(chain), error);
}

QByteArray VeskMHLHistory::manifestBytes(const QString &process, const std::vector<Hash> &hashes) const
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(kManifestNamespace);
    xml.writeStartElement(kManifestNamespace, QStringLiteral("hashlist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("creatorinfo"));
    xml.writeTextElement(QStringLiteral("creationdate"), isoDate(QDateTime::currentDateTimeUtc()));
    xml.writeTextElement(QStringLiteral("hostname"), QSysInfo::machineHostName());
    xml.writeStartElement(QStringLiteral("tool"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral(VESK_VERSION));
    xml.writeCharacters(QStringLiteral("Vesk"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("processinfo"));
    xml.writeTextElement(QStringLiteral("process"), process);
    xml.writeEndElement();
    if (!hashes.empty()) {
        xml.writeStartElement(QStringLiteral("hashes"));
        for (const Hash &hash : hashes) {
            xml.writeStartElement(QStringLiteral("hash"));
            xml.writeStartElement(QStringLiteral("path"));
            xml.writeAttribute(QStringLiteral("size"), QString::number(hash.size));
            xml.writeAttribute(QStringLiteral("lastmodificationdate"), isoDate(hash.modified));
            xml.writeCharacters(hash.path);
            xml.writeEndElement();
            xml.writeStartElement(QStringLiteral("xxh128"));
            xml.writeAttribute(QStringLiteral("action"), hash.action);
            xml.writeCharacters(hash.xxh128);
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return bytes;
}

QByteArray VeskMHLHistory::chainBytes(const std::vector<ChainEntry> &entries) const
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(kChainNamespace);
    xml.writeStartElement(kChainNamespace, QStringLiteral("ascmhldirectory"));
    for (const ChainEntry &entry : entries) {
        xml.writeStartElement(QStringLiteral("hashlist"));
        xml.writeAttribute(QStringLiteral("sequencenr"), QString::number(entry.number));
        xml.writeTextElement(QStringLiteral("path"), entry.fileName);
        xml.writeTextElement(QStringLiteral("c4"), entry.c4);
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return bytes;
}
