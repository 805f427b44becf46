#include "VeskExternalTools.h"

#include "base/VeskNSLog.h"
#include "model/VeskCore.h"
#include "model/VeskTableView.h"
#include "report/VeskAlert.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>

namespace {

template <typename T> struct GObjectDeleter {
    void operator()(T *object) const { g_object_unref(object); }
};
template <typename T> using GObjectRef = std::unique_ptr<T, GObjectDeleter<T>>;

bool launch(GAppInfo *application, const QStringList &paths, QString *error)
{
    std::vector<GObjectRef<GFile>> files;
    GList *list = nullptr;
    for (const QString &path : paths) {
        files.emplace_back(g_file_new_for_path(QFile::encodeName(path).constData()));
        list = g_list_append(list, files.back().get());
    }
    GError *failure = nullptr;
    const bool launched = g_app_info_launch(application, list, nullptr, &failure);
    g_list_free(list);
    if (failure) {
        *error = QString::fromUtf8(failure->message);
        g_error_free(failure);
    }
    return launched;
}

} // namespace

QStringList VeskExternalTools::selectedMedia(const VeskCore &core, const VeskTableView &table)
{
    QStringList paths;
    for (const uint64_t row : table.selectedRows()) {
        const QString path = core.getExistentURLatIndex(row);
        if (!path.isEmpty())
            paths.push_back(path);
    }
    return paths;
}

bool VeskExternalTools::OpenInExternalApp(const QStringList &paths, const QString &desktopId)
{
    const QString id
        = desktopId.endsWith(QLatin1String(".desktop")) ? desktopId : desktopId + QLatin1String(".desktop");
    GObjectRef<GDesktopAppInfo> application(g_desktop_app_info_new(id.toUtf8().constData()));
    QString error = QStringLiteral("no such application");
    if (application && launch(G_APP_INFO(application.get()), paths, &error))
        return true;
    VESK_LOG(QStringLiteral("Cannot open with %1: %2").arg(desktopId, error));
    VeskAlert::ShowDialog_with_errorName(QStringLiteral("External App not found"), desktopId);
    return false;
}

bool VeskExternalTools::ExecuteApplescript(const QStringList &paths, const QString &script)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(paths.join(QLatin1Char('\r')));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VESK_SELECTION"), paths.join(QLatin1Char('\n')));
    process.setProcessEnvironment(environment);
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({ QStringLiteral("-c"), script });
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}
