#include "actions/VeskActionProperties.h"

#include <QDir>
#include <QFile>

#include <pwd.h>

QString VeskActionProperties::expandTilde(const QString &path)
{
    if (!path.startsWith(QLatin1Char('~')))
        return path;
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString rest = slash < 0 ? QString() : path.mid(slash);
    if (user.isEmpty())
        return QDir::homePath() + rest;
    const passwd *entry = getpwnam(QFile::encodeName(user).constData());
    return entry ? QFile::decodeName(entry->pw_dir) + rest : path;
}

QString VeskActionProperties::normalizedDestination(const QString &path)
{
    // An empty text names no folder; it must not turn into the current one.
    if (path.isEmpty())
        return {};
    const QString expanded = path.contains(QLatin1Char('~')) ? expandTilde(path) : path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(expanded));
}

bool VeskActionProperties::hasDestination(const QString &action)
{
    return action == QLatin1String("Copy") || action == QLatin1String("Move");
}
