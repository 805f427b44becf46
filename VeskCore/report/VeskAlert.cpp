#include "report/VeskAlert.h"

#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"

#include <QMutex>

#include <cstdlib>

namespace {

QMutex handlerLock;
VeskAlert::Handler &installedHandler()
{
    static VeskAlert::Handler handler;
    return handler;
}

} // namespace

VeskAlert::Handler VeskAlert::setHandler(Handler handler)
{
    QMutexLocker locker(&handlerLock);
    std::swap(installedHandler(), handler);
    return handler;
}

int VeskAlert::ask(const QString &message, const QString &info, const QStringList &buttons)
{
    Handler handler;
    {
        QMutexLocker locker(&handlerLock);
        handler = installedHandler();
    }
    if (!handler) {
        VESK_LOG(QStringLiteral("Alert: %1 :: %2").arg(message, info));
        return First;
    }
    return handler(Request { message, info, buttons });
}

void VeskAlert::ShowDialogAndExit_with_errorName(const QString &message, const QString &info)
{
    VeskMainThread::run([&] { ask(message, info, { QStringLiteral("OK") }); }, true);
    std::exit(EXIT_FAILURE);
}

void VeskAlert::ShowDialog_with_errorName(const QString &message, const QString &info)
{
    VeskMainThread::run([&] { ask(message, info, { QStringLiteral("OK") }); }, true);
}

int VeskAlert::ShowDialog_with_YesNo(const QString &message, const QString &info)
{
    return ask(message, info, { QStringLiteral("OK"), QStringLiteral("Cancel") });
}

int VeskAlert::ShowDialog_with_NoYesYesToAll(const QString &message, const QString &info)
{
    return ask(message, info, { QStringLiteral("No"), QStringLiteral("Yes"), QStringLiteral("Yes to All") });
}

bool VeskAlert::ShowDialog_with_OkDoNotShowAgain(const QString &message, const QString &info)
{
    return ask(message, info, { QStringLiteral("Ok"), QStringLiteral("Do NotShow Again") }) == First;
}

int VeskAlert::ShowDialog_with_Buttons(const QString &message, const QString &info, const QStringList &buttons)
{
    return ask(message, info, buttons);
}
