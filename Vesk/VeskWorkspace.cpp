#include "VeskWorkspace.h"

#include "base/VeskNSLog.h"
#include "platform/VeskStatusViewController.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QObject>
#include <QUrl>

namespace {

VeskWorkspace::RevealHandler &installedHandler()
{
    static VeskWorkspace::RevealHandler handler;
    return handler;
}

} // namespace

void VeskWorkspace::activateFileViewerSelectingURLs(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    if (installedHandler())
        installedHandler()(paths);
    else
        reveal(paths);
}

VeskWorkspace::RevealHandler VeskWorkspace::setRevealHandler(RevealHandler handler)
{
    std::swap(installedHandler(), handler);
    return handler;
}

// The freedesktop file manager interface is activated on demand, so the call is
// asynchronous: a session without such a service answers with an error, and the
// folder is opened instead.
void VeskWorkspace::reveal(const QStringList &paths)
{
    QStringList uris;
    for (const QString &path : paths)
        uris.push_back(QUrl::fromLocalFile(path).toString());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolderOf(paths.first());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    call << uris << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    const QString first = paths.first();
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, first] {
        if (watcher->isError()) {
            VESK_LOG(QStringLiteral("File manager not available: %1").arg(watcher->error().message()));
            openFolderOf(first);
        }
        watcher->deleteLater();
    });
}

void VeskWorkspace::openFolderOf(const QString &path)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath())))
        VeskStatusViewController::getTheController()->Status_SetTextWithString(
            QObject::tr("No file manager answered; the file is %1").arg(path));
}
