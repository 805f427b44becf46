#include "actions/VeskActionSource.h"

#include "platform/VeskFileName.h"

namespace {

bool isFileName(const QString &name)
{
    return VeskFileName::isFileName(VeskFileName::encode(name));
}

} // namespace

VeskActionSource VeskActionSource::inspect(const VeskDatabaseItem &item)
{
    VeskActionSource source;
    source.m_path = item.DB_itemPath();
    source.m_folder = item.DB_itemFolder();
    const qsizetype skip = source.m_folder.isEmpty() || source.m_folder.endsWith(QLatin1Char('/'))
        ? source.m_folder.size()
        : source.m_folder.size() + 1;
    source.m_name = source.m_path.mid(skip);
    if (!source.m_folder.isEmpty() && isFileName(source.m_name))
        source.m_entry = VeskFileOperations::entryAt(source.m_path);
    return source;
}

std::optional<VeskFileOperations::Identity> VeskActionSource::dataIdentity() const
{
    return VeskFileOperations::identityOf(m_path);
}

QString VeskActionSource::refusal(const QString &action) const
{
    using Kind = VeskFileOperations::Kind;
    if (m_folder.isEmpty() || !isFileName(m_name))
        return QStringLiteral("\"%1\" is not a file name in %2; nothing outside that folder is touched")
            .arg(m_name, m_folder);
    switch (m_entry.kind) {
    case Kind::Regular: return {};
    case Kind::Missing: return QStringLiteral("%1 cannot be reached: %2").arg(m_path, m_entry.error.description);
    case Kind::Link: break;
    default:
        return QStringLiteral("%1 is %2, not a regular file; it is left alone")
            .arg(m_path, VeskFileOperations::kindName(m_entry.kind));
    }
    if (action == QLatin1String("Move") || action == QLatin1String("Quarantine"))
        return QStringLiteral("%1 is a symbolic link to %2; links are not moved").arg(m_path, m_entry.linkTarget);
    if (action == QLatin1String("Delete"))
        return {};
    const VeskFileOperations::Entry led = VeskFileOperations::entryAt(m_path, true);
    if (led.kind != Kind::Regular)
        return QStringLiteral("%1 is a symbolic link to %2, which is %3, not a regular file; it is left alone")
            .arg(m_path, m_entry.linkTarget, VeskFileOperations::kindName(led.kind));
    return {};
}
