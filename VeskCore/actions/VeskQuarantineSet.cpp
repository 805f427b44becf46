#include "actions/VeskQuarantineSet.h"

#include "actions/VeskQuarantine.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileName.h"
#include "platform/VeskFileOperations.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kManifest = QStringLiteral("manifest.json");
const QString kJournal = QStringLiteral("manifest.journal");
const QString kIdTime = QStringLiteral("yyyy-MM-dd_HHmmss");

QByteArray encoded(const QString &path)
{
    return VeskFileName::encode(path);
}

QString realPath(const QString &path)
{
    return VeskQuarantine::realPath(path);
}

bool makeFolders(const QString &path)
{
    return VeskDirectory::isFolder(path) || VeskFileOperations::makeFolder(path, nullptr);
}

QString parentOf(const QString &path)
{
    return path.left(std::max<qsizetype>(1, path.lastIndexOf(QLatin1Char('/'))));
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(strerror(code));
}

// A path below a folder: relative, in plain components, and never into the sets.
bool isSafeRelative(const QString &relative)
{
    if (relative.isEmpty() || relative.startsWith(QLatin1Char('/')) || relative.contains(QChar(u'\0')))
        return false;
    const QStringList parts = relative.split(QLatin1Char('/'));
    for (const QString &part : parts)
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    return parts.first() != VeskQuarantineSet::folderName();
}

QString parentBelow(const QString &base, const QString &relative)
{
    const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? base : base + QLatin1Char('/') + relative.left(slash);
}

bool isRegularFile(const QString &path)
{
    struct stat status { };
    return lstat(encoded(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

// Whether the folder is the one named, with no link on the way leading elsewhere.
bool isExactly(const QString &folder, const QString &expected)
{
    const QString real = realPath(folder);
    return !real.isEmpty() && real == expected;
}

// Renames without ever replacing a file: where the file system cannot say "no
// replace", a hard link does the same atomically, and the old name goes after it.
int renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = encoded(from), target = encoded(to);
    if (renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (link(source.constData(), target.constData()) != 0)
        return errno;
    return unlink(source.constData()) == 0 ? 0 : errno;
}

QString renameFailure(int code)
{
    switch (code) {
    case EEXIST:
    case ENOTEMPTY: return QStringLiteral("the path is occupied");
    case EXDEV: return QStringLiteral("it is on another file system than its volume's quarantine; nothing is copied");
    default: return systemError(code);
    }
}

QJsonObject toJson(const VeskQuarantineEntry &entry, const QDateTime &time)
{
    return { { QStringLiteral("path"), entry.relative }, { QStringLiteral("original"), entry.original },
        { QStringLiteral("size"), qint64(entry.size) },
        { QStringLiteral("modified"), entry.modified.toString(Qt::ISODateWithMs) },
        { QStringLiteral("fileUID"), entry.fileUID }, { QStringLiteral("materialUID"), entry.materialUID },
        { QStringLiteral("clipName"), entry.clipName }, { QStringLiteral("project"), entry.project },
        { QStringLiteral("time"), VeskQuarantineSet::isoTime(time) } };
}

VeskQuarantineEntry fromJson(const QJsonObject &object)
{
    const auto text = [&object](const char *key) { return object.value(QLatin1String(key)).toString(); };
    return { text("path"), text("original"), uint64_t(std::max<qint64>(0, object.value("size").toInteger())),
        QDateTime::fromString(text("modified"), Qt::ISODateWithMs), text("fileUID"), text("materialUID"),
        text("clipName"), text("project") };
}

// nftw's callback takes no context; removal runs on one thread at a time.
thread_local int purgeError = 0;

int removeEntry(const char *path, const struct stat *, int type, struct FTW *)
{
    if ((type == FTW_DP ? rmdir(path) : unlink(path)) != 0 && purgeError == 0)
        purgeError = errno;
    return 0;
}

int removeEmptyFolder(const char *path, const struct stat *, int type, struct FTW *)
{
    if (type == FTW_DP)
        rmdir(path);
    return 0;
}

} // namespace

VeskQuarantineSet::VeskQuarantineSet(QString root, QString id)
    : m_root(std::move(root))
    , m_id(std::move(id))
    , m_time(timeOfId(m_id))
{
}

VeskQuarantineSet::VeskQuarantineSet(VeskQuarantineSet &&other) noexcept
    : m_root(std::move(other.m_root))
    , m_id(std::move(other.m_id))
    , m_time(std::move(other.m_time))
    , m_entries(std::move(other.m_entries))
    , m_journaled(std::move(other.m_journaled))
    , m_lockFd(std::exchange(other.m_lockFd, -1))
    , m_journalFd(std::exchange(other.m_journalFd, -1))
{
}

VeskQuarantineSet &VeskQuarantineSet::operator=(VeskQuarantineSet &&other) noexcept
{
    std::swap(m_root, other.m_root);
    std::swap(m_id, other.m_id);
    std::swap(m_time, other.m_time);
    std::swap(m_entries, other.m_entries);
    std::swap(m_journaled, other.m_journaled);
    std::swap(m_lockFd, other.m_lockFd);
    std::swap(m_journalFd, other.m_journalFd);
    return *this;
}

VeskQuarantineSet::~VeskQuarantineSet()
{
    for (const int fd : { m_journalFd, m_lockFd })
        if (fd >= 0)
            close(fd);
}

bool VeskQuarantineSet::isValidId(const QString &id)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d{6}_[0-9a-f]{6}$"));
    return form.match(id).hasMatch();
}

QDateTime VeskQuarantineSet::timeOfId(const QString &id)
{
    return isValidId(id) ? QDateTime::fromString(id.left(kIdTime.size()), kIdTime) : QDateTime();
}

QString VeskQuarantineSet::isoTime(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

QString VeskQuarantineSet::folder() const
{
    return m_root + QLatin1Char('/') + folderName() + QLatin1Char('/') + m_id;
}

uint64_t VeskQuarantineSet::size() const
{
    uint64_t total = 0;
    for (const VeskQuarantineEntry &entry : m_entries)
        total += entry.size;
    return total;
}

bool VeskQuarantineSet::lock(bool wait)
{
    m_lockFd = ::open(encoded(folder()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (m_lockFd >= 0 && flock(m_lockFd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        close(m_lockFd);
        m_lockFd = -1;
    }
    return m_lockFd >= 0;
}

std::optional<VeskQuarantineSet> VeskQuarantineSet::create(const QString &root, const QDateTime &time, QString *error)
{
    const QString base = root + QLatin1Char('/') + folderName();
    if (mkdir(encoded(base).constData(), 0755) != 0 && errno != EEXIST) {
        *error = QStringLiteral("cannot make %1: %2").arg(base, systemError(errno));
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString id = time.toString(kIdTime)
            + QStringLiteral("_%1").arg(QRandomGenerator::global()->bounded(0x1000000), 6, 16, QLatin1Char('0'));
        VeskQuarantineSet set(root, id);
        if (mkdir(encoded(set.folder()).constData(), 0755) != 0) {
            if (errno == EEXIST)
                continue;
            *error = QStringLiteral("cannot make %1: %2").arg(set.folder(), systemError(errno));
            return std::nullopt;
        }
        set.m_time = time;
        if (!set.lock(true) || !set.writeManifest(error))
            return std::nullopt;
        set.m_journalFd = ::open(encoded(set.folder() + QLatin1Char('/') + kJournal).constData(),
            O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (set.m_journalFd < 0 || fsync(set.m_lockFd) != 0) {
            *error = QStringLiteral("cannot write the journal of %1: %2").arg(set.folder(), systemError(errno));
            return std::nullopt;
        }
        return set;
    }
    *error = QStringLiteral("no free set name in %1").arg(base);
    return std::nullopt;
}

bool VeskQuarantineSet::moveIn(const VeskQuarantineEntry &entry, QString *error)
{
    if (!isSafeRelative(entry.relative) || entry.original != m_root + QLatin1Char('/') + entry.relative) {
        *error = QStringLiteral("%1 does not lie below the volume root %2").arg(entry.original, m_root);
        return false;
    }
    const QString target = folder() + QLatin1Char('/') + entry.relative;
    if (!makeFolders(parentOf(target))) {
        *error = QStringLiteral("cannot make the folder %1").arg(parentOf(target));
        return false;
    }
    if (!m_journaled.contains(entry.relative) && !journal({ entry }, error))
        return false;
    if (const int code = renameNoReplace(entry.original, target); code != 0) {
        *error = QStringLiteral("%1 stays: %2").arg(entry.original, renameFailure(code));
        return false;
    }
    m_entries.push_back(entry);
    return true;
}

// The journal names a file before it moves: after a crash, a listed file either moved
// or is still where it was, and is never moved without being listed.
bool VeskQuarantineSet::journal(const std::vector<VeskQuarantineEntry> &entries, QString *error)
{
    QByteArray lines;
    for (const VeskQuarantineEntry &entry : entries)
        lines += QJsonDocument(toJson(entry, m_time)).toJson(QJsonDocument::Compact) + '\n';
    if (m_journalFd < 0 || write(m_journalFd, lines.constData(), size_t(lines.size())) != lines.size()
        || fdatasync(m_journalFd) != 0) {
        *error = QStringLiteral("cannot write the journal of %1: %2").arg(folder(), systemError(errno));
        return false;
    }
    for (const VeskQuarantineEntry &entry : entries)
        m_journaled.insert(entry.relative);
    return true;
}

bool VeskQuarantineSet::finish(QString *error)
{
    if (!writeManifest(error))
        return false;
    unlink(encoded(folder() + QLatin1Char('/') + kJournal).constData());
    if (m_journalFd >= 0)
        close(std::exchange(m_journalFd, -1));
    return true;
}

bool VeskQuarantineSet::writeManifest(QString *error)
{
    QJsonArray files;
    for (const VeskQuarantineEntry &entry : m_entries)
        files.append(toJson(entry, m_time));
    const QJsonObject manifest { { QStringLiteral("id"), m_id }, { QStringLiteral("root"), m_root },
        { QStringLiteral("time"), isoTime(m_time) }, { QStringLiteral("files"), files } };
    const QString path = folder() + QLatin1Char('/') + kManifest;
    const QByteArray bytes = QJsonDocument(manifest).toJson();
    // A temporary file, synced, then renamed over the manifest; the folder is synced last.
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!saved || fsync(m_lockFd) != 0) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, saved ? systemError(errno) : file.errorString());
        return false;
    }
    return true;
}

std::optional<VeskQuarantineSet> VeskQuarantineSet::open(const QString &root, const QString &id, QString *error)
{
    const QString realRoot = realPath(root);
    if (!isValidId(id) || realRoot.isEmpty()) {
        *error = QStringLiteral("%1 is no quarantine set id").arg(id);
        return std::nullopt;
    }
    VeskQuarantineSet set(realRoot, id);
    if (!isExactly(set.folder(), set.folder())) {
        *error = QStringLiteral("there is no quarantine set %1 in %2").arg(id, realRoot);
        return std::nullopt;
    }
    set.lock(false);
    if (!set.readManifest(error))
        return std::nullopt;
    const qsizetype listed = qsizetype(set.m_entries.size());
    const bool journal = VeskFileOperations::exists(set.folder() + QLatin1Char('/') + kJournal);
    set.readJournal();
    set.keepPresentEntries();
    QString ignored;
    if (!set.isBusy() && (journal || qsizetype(set.m_entries.size()) != listed))
        set.finish(&ignored);
    return set;
}

bool VeskQuarantineSet::readManifest(QString *error)
{
    QFile file;
    const QJsonObject manifest = VeskFileName::openForReading(file, folder() + QLatin1Char('/') + kManifest)
        ? QJsonDocument::fromJson(file.readAll()).object()
        : QJsonObject();
    if (manifest.isEmpty()) {
        *error = QStringLiteral("the manifest of %1 cannot be read").arg(folder());
        return false;
    }
    if (const QDateTime time = QDateTime::fromString(manifest.value("time").toString(), Qt::ISODate); time.isValid())
        m_time = time;
    for (const QJsonValue &file : manifest.value("files").toArray())
        m_entries.push_back(fromJson(file.toObject()));
    return true;
}

void VeskQuarantineSet::readJournal()
{
    QFile file;
    if (!VeskFileName::openForReading(file, folder() + QLatin1Char('/') + kJournal))
        return;
    // A line cut short by a crash was written before its rename, so its file never moved.
    while (!file.atEnd())
        if (const QJsonDocument line = QJsonDocument::fromJson(file.readLine()); line.isObject())
            m_entries.push_back(fromJson(line.object()));
}

// What a set holds is what lies in its folder: a listed file that is not there was
// never moved in, or has gone back. A path that would leave the set is no entry.
void VeskQuarantineSet::keepPresentEntries()
{
    std::vector<VeskQuarantineEntry> present;
    QStringList seen;
    for (VeskQuarantineEntry &entry : m_entries)
        if (isSafeRelative(entry.relative) && !seen.contains(entry.relative)
            && isRegularFile(folder() + QLatin1Char('/') + entry.relative)) {
            seen << entry.relative;
            present.push_back(std::move(entry));
        }
    m_entries = std::move(present);
}

std::vector<VeskQuarantineSet> VeskQuarantineSet::list(const QString &root)
{
    QStringList ids;
    if (DIR *base = opendir(encoded(root + QLatin1Char('/') + folderName()).constData())) {
        while (const dirent *entry = readdir(base))
            if (isValidId(QString::fromLatin1(entry->d_name)))
                ids << QString::fromLatin1(entry->d_name);
        closedir(base);
    }
    ids.sort();
    std::vector<VeskQuarantineSet> sets;
    for (const QString &id : ids) {
        QString ignored;
        if (std::optional<VeskQuarantineSet> set = open(root, id, &ignored))
            sets.push_back(std::move(*set));
    }
    return sets;
}

VeskQuarantineSet::Restored VeskQuarantineSet::restore()
{
    Restored result;
    if (isBusy()) {
        result.kept << QStringLiteral("%1: another action is changing this set now").arg(folder());
        return result;
    }
    std::vector<VeskQuarantineEntry> kept;
    for (VeskQuarantineEntry &entry : m_entries) {
        QString reason;
        if (restoreEntry(entry, &reason)) {
            result.restored << m_root + QLatin1Char('/') + entry.relative;
            continue;
        }
        result.kept
            << QStringLiteral("%1: left in quarantine (%2)").arg(m_root + QLatin1Char('/') + entry.relative, reason);
        kept.push_back(std::move(entry));
    }
    m_entries = std::move(kept);
    QString error;
    if (!m_entries.empty() && !writeManifest(&error))
        result.kept << error;
    if (m_entries.empty() && !removeIfEmpty()) {
        result.kept << QStringLiteral("%1 holds files its manifest does not list; it stays").arg(folder());
        writeManifest(&error);
    }
    return result;
}

// Back only from inside the set folder, and only to a folder below the root that is
// reached without leaving it.
bool VeskQuarantineSet::restoreEntry(const VeskQuarantineEntry &entry, QString *reason)
{
    const QString source = folder() + QLatin1Char('/') + entry.relative;
    const QString target = m_root + QLatin1Char('/') + entry.relative;
    const QString targetFolder = parentBelow(m_root, entry.relative);
    if (!isRegularFile(source) || !isExactly(parentOf(source), parentBelow(folder(), entry.relative))) {
        *reason = QStringLiteral("it is no regular file inside the set folder");
        return false;
    }
    // No folder is made past a link, and none is entered through one.
    QString existing = targetFolder;
    while (existing.size() > m_root.size() && !VeskFileOperations::exists(existing))
        existing = parentOf(existing);
    if (!isExactly(existing, existing) || !makeFolders(targetFolder) || !isExactly(targetFolder, targetFolder)) {
        *reason = QStringLiteral("%1 cannot be made, or leads outside the volume root").arg(targetFolder);
        return false;
    }
    const int code = renameNoReplace(source, target);
    *reason = renameFailure(code);
    return code == 0;
}

bool VeskQuarantineSet::removeIfEmpty()
{
    for (const QString &name : { kManifest, kJournal })
        unlink(encoded(folder() + QLatin1Char('/') + name).constData());
    nftw(encoded(folder()).constData(), removeEmptyFolder, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
    rmdir(encoded(m_root + QLatin1Char('/') + folderName()).constData());
    return !VeskFileOperations::exists(folder());
}

bool VeskQuarantineSet::purge(QString *error)
{
    if (isBusy()) {
        *error = QStringLiteral("another action is changing %1 now").arg(folder());
        return false;
    }
    purgeError = 0;
    nftw(encoded(folder()).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
    rmdir(encoded(m_root + QLatin1Char('/') + folderName()).constData());
    if (purgeError != 0)
        *error = QStringLiteral("cannot remove all of %1: %2").arg(folder(), systemError(purgeError));
    return purgeError == 0;
}
