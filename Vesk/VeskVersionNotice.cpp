#include "VeskVersionNotice.h"

#include "platform/VeskSettings.h"
#include "report/VeskAlert.h"
#include "report/VeskNSLog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <optional>

const QString VeskVersionNotice::kVersionURLKey = QStringLiteral("VeskVersionURL");
const QString VeskVersionNotice::kWebsiteURLKey = QStringLiteral("VeskWebsiteURL");

namespace {

VeskVersionNotice::Opener &installedOpener()
{
    static VeskVersionNotice::Opener opener;
    return opener;
}

} // namespace

void VeskVersionNotice::registerDefaults()
{
    VeskSettings::shared().registerDefaults({
        { kVersionURLKey, QStringLiteral("https://vesk.example.org/version.txt") },
        { kWebsiteURLKey, QStringLiteral("https://vesk.example.org/") },
    });
}

QString VeskVersionNotice::installedVersion()
{
    return QStringLiteral("%1 build %2").arg(QCoreApplication::applicationVersion(), QStringLiteral(VESK_BUILD));
}

QString VeskVersionNotice::checkVeskVersion()
{
    return checkVeskVersion(installedVersion(), QUrl(VeskSettings::shared().stringForKey(kVersionURLKey)));
}

std::optional<QString> VeskVersionNotice::fetch(const QUrl &endpoint)
{
    if (!endpoint.isValid() || endpoint.isRelative())
        return std::nullopt;
    QNetworkAccessManager network;
    QNetworkRequest request(endpoint);
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply *reply = network.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const QByteArray body = reply->readAll();
    const bool failed = reply->error() != QNetworkReply::NoError;
    if (failed)
        VESK_LOG(QStringLiteral("Version request to %1 failed: %2").arg(endpoint.toString(), reply->errorString()));
    delete reply;
    if (failed)
        return std::nullopt;
    return QString::fromUtf8(body);
}

QString VeskVersionNotice::checkVeskVersion(const QString &installed, const QUrl &endpoint)
{
    const std::optional<QString> reply = fetch(endpoint);
    if (!reply)
        return QStringLiteral("Error in http request");
    VeskPrint(QStringLiteral("%1: %2").arg(endpoint.host(), *reply));
    if (*reply != installed) {
        const int answer = VeskAlert::ShowDialog_with_YesNo(
            QStringLiteral("Current version on the website:\n%1 \n\nYou Have version installed:\n%2\n")
                .arg(*reply, installed),
            QStringLiteral("Open Vesk Website?"));
        if (answer == VeskAlert::First)
            openSite();
    }
    return QStringLiteral("Current version on the website:\n%1").arg(*reply);
}

void VeskVersionNotice::openSite()
{
    const QUrl site(VeskSettings::shared().stringForKey(kWebsiteURLKey));
    if (installedOpener())
        installedOpener()(site);
    else
        QDesktopServices::openUrl(site);
}

VeskVersionNotice::Opener VeskVersionNotice::setOpener(Opener opener)
{
    std::swap(installedOpener(), opener);
    return opener;
}
