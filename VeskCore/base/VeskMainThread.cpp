#include "base/VeskMainThread.h"

#include <QCoreApplication>
#include <QThread>

bool VeskMainThread::isMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void VeskMainThread::run(const std::function<void()> &work, bool wait)
{
    if (isMainThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), work, wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}
