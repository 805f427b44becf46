#include "actions/VeskQuarantine.h"

#include "model/VeskDatabaseItem.h"

#include "platform/VeskFileName.h"

#include <QSet>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

bool isMediaFilesFolder(const QString &name)
{
    return name == QLatin1String("Avid MediaFiles") || name == QLatin1String("OMFI MediaFiles");
}

} // namespace

VeskQuarantine::VeskQuarantine(QDateTime time)
    : m_time(std::move(time))
{
}

VeskQuarantine::Place VeskQuarantine::placeOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash > 0 ? realPath(path.left(slash)) : QString();
    if (folder.isEmpty())
        return { {}, {}, QStringLiteral("the folder of %1 cannot be reached").arg(path) };
    QStringList parts = folder.split(QLatin1Char('/'));
    if (parts.contains(VeskQuarantineSet::folderName()))
        return { {}, {}, QStringLiteral("%1 is in quarantine already").arg(path) };
    qsizetype rootParts = parts.size() - 1;
    for (qsizetype i = parts.size() - 1; i > 0; --i)
        if (isMediaFilesFolder(parts[i])) {
            rootParts = i;
            break;
        }
    const QString root = parts.mid(0, rootParts).join(QLatin1Char('/'));
    if (root.isEmpty())
        return { {}, {}, QStringLiteral("%1 has no volume root below /").arg(path) };
    parts << path.mid(slash + 1);
    return { root, parts.mid(rootParts).join(QLatin1Char('/')), {} };
}

QString VeskQuarantine::realPath(const QString &path)
{
    char *real = realpath(VeskFileName::encode(path).constData(), nullptr);
    const QString resolved = real ? VeskFileName::decode(real) : QString();
    free(real);
    return resolved;
}

QStringList VeskQuarantine::volumeRootsOf(const std::vector<std::shared_ptr<VeskDatabaseItem>> &items)
{
    QSet<QString> folders;
    QStringList roots;
    for (const std::shared_ptr<VeskDatabaseItem> &item : items)
        if (const QString folder = item->DB_itemFolder(); !folders.contains(folder)) {
            folders.insert(folder);
            const Place place = placeOf(folder + QStringLiteral("/-"));
            if (place.error.isEmpty() && !roots.contains(place.root))
                roots << place.root;
        }
    return roots;
}

VeskQuarantineSet *VeskQuarantine::setFor(const QString &root, QString *error)
{
    if (const auto found = m_sets.find(root); found != m_sets.end())
        return &found->second;
    std::optional<VeskQuarantineSet> made = VeskQuarantineSet::create(root, m_time, error);
    return made ? &m_sets.emplace(root, std::move(*made)).first->second : nullptr;
}

VeskQuarantineSet *VeskQuarantine::entryFor(
    const VeskDatabaseItem &item, const QString &path, VeskQuarantineEntry &entry, QString *error)
{
    const Place place = placeOf(path);
    struct stat status { };
    if (!place.error.isEmpty() || lstat(VeskFileName::encode(path).constData(), &status) != 0) {
        *error = place.error.isEmpty()
            ? QStringLiteral("%1 cannot be reached: %2").arg(path, QString::fromLocal8Bit(strerror(errno)))
            : place.error;
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        *error = QStringLiteral("%1 is no regular file").arg(path);
        return nullptr;
    }
    const QDateTime modified = QDateTime::fromMSecsSinceEpoch(
        int64_t(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000, Qt::UTC);
    entry = { place.relative, place.root + QLatin1Char('/') + place.relative, uint64_t(status.st_size), modified,
        item.getFileUIDString(), item.getMaterialUIDString(), item.DB_ClipName(), item.get_DB_ProjectName() };
    return setFor(place.root, error);
}

void VeskQuarantine::prepare(const std::vector<std::shared_ptr<VeskDatabaseItem>> &items)
{
    std::map<VeskQuarantineSet *, std::vector<VeskQuarantineEntry>> batches;
    for (const std::shared_ptr<VeskDatabaseItem> &item : items) {
        VeskQuarantineEntry entry;
        QString ignored;
        if (VeskQuarantineSet *set = entryFor(*item, item->DB_itemPath(), entry, &ignored))
            batches[set].push_back(std::move(entry));
    }
    // A batch that cannot be journaled is journaled again file by file, and fails there.
    for (auto &[set, entries] : batches) {
        QString ignored;
        set->journal(entries, &ignored);
    }
}

bool VeskQuarantine::quarantine(const VeskDatabaseItem &item, const QString &path, QString *error)
{
    VeskQuarantineEntry entry;
    VeskQuarantineSet *set = entryFor(item, path, entry, error);
    return set && set->moveIn(entry, error);
}

QStringList VeskQuarantine::finish()
{
    QStringList errors;
    for (auto &[root, set] : m_sets)
        if (QString error; !set.finish(&error))
            errors << error;
        else if (set.entries().empty())
            set.removeIfEmpty();
    return errors;
}
QStringList VeskQuarantine::folders() const
{
    QStringList made;
    for (const auto &[root, set] : m_sets)
        if (!set.entries().empty())
            made << set.folder();
    return made;
}
