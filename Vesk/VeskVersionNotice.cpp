#include "VeskVersionNotice.h"

#include "base/VeskNSLog.h"
#include "platform/VeskSettings.h"
#include "report/VeskAlert.h"

#include <QCoreApplication>
#include <QDesktopServices>
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
        { kVersionURLKey, QString() },
        { kWebsiteURLKey, QStringLiteral("https://vesk.example.org/") },
    });
}

QString VeskVersionNotice::installedVersion()
{
    return QStringLiteral("%1 build %2").arg(QCoreApplication::applicationVersion(), QStringLiteral(VESK_BUILD));
}

bool VeskVersionNotice::checkVeskVersion(const Done &done)
{
    return checkVeskVersion(installedVersion(), QUrl(VeskSettings::shared().stringForKey(kVersionURLKey)), done);
}

bool VeskVersionNotice::checkVeskVersion(const QString &installed, const QUrl &endpoint, const Done &done)
{
    if (endpoint.isEmpty())
        return false;
    fetch(endpoint, [installed, endpoint, done](const std::optional<QString> &reply) {
        done(noticeFor(installed, endpoint, reply));
    });
    return true;
}

// The manager and its reply go together once the reply has been read; the interface
// goes on meanwhile.
void VeskVersionNotice::fetch(const QUrl &endpoint, const std::function<void(std::optional<QString>)> &replied)
{
    if (!endpoint.isValid() || endpoint.isRelative()) {
        replied(std::nullopt);
        return;
    }
    auto *network = new QNetworkAccessManager;
    QNetworkRequest request(endpoint);
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply *reply = network->get(request);
    QObject::connect(reply, &QNetworkReply::finished, network, [network, reply, endpoint, replied] {
        network->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            VESK_LOG(QStringLiteral("Version request to %1 failed: %2").arg(endpoint.toString(), reply->errorString()));
            replied(std::nullopt);
            return;
        }
        replied(QString::fromUtf8(reply->readAll()));
    });
}

QString VeskVersionNotice::noticeFor(
    const QString &installed, const QUrl &endpoint, const std::optional<QString> &reply)
{
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
