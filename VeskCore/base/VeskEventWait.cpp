#include "base/VeskEventWait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

VeskEventWait::VeskEventWait(bool open)
    : m_open(open)
{
}

void VeskEventWait::open()
{
    QMutexLocker locker(&m_lock);
    m_open = true;
    // An event for each waiting thread wakes it, or finds it as soon as it looks.
    for (QObject *waiter : m_waiters)
        QMetaObject::invokeMethod(
            waiter, [] {}, Qt::QueuedConnection);
}

void VeskEventWait::close()
{
    QMutexLocker locker(&m_lock);
    m_open = false;
}

bool VeskEventWait::isOpen() const
{
    QMutexLocker locker(&m_lock);
    return m_open;
}

void VeskEventWait::serveUntilOpen(const std::function<void()> &onEveryTurn, QEventLoop::ProcessEventsFlags flags)
{
    QObject waiter;
    {
        QMutexLocker locker(&m_lock);
        if (m_open)
            return;
        m_waiters.push_back(&waiter);
    }
    if (onEveryTurn) {
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &waiter,
            [&onEveryTurn] { onEveryTurn(); });
        onEveryTurn();
    }
    // Turns of its own rather than a nested event loop, which would return at once while
    // the application is quitting and leave the thread spinning without serving.
    while (!isOpen())
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    QMutexLocker locker(&m_lock);
    std::erase(m_waiters, &waiter);
}
