#include "base/VeskEventWait.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>

VeskEventWait::VeskEventWait(bool open)
    : m_open(open)
{
}

void VeskEventWait::open()
{
    QMutexLocker locker(&m_lock);
    m_open = true;
    // Queued, so that the quit reaches the loop even when it is posted before the loop
    // has started turning.
    for (QEventLoop *loop : m_loops)
        QMetaObject::invokeMethod(loop, &QEventLoop::quit, Qt::QueuedConnection);
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

void VeskEventWait::serveUntilOpen(const std::function<void()> &onEveryTurn)
{
    QEventLoop loop;
    {
        QMutexLocker locker(&m_lock);
        if (m_open)
            return;
        m_loops.push_back(&loop);
    }
    if (onEveryTurn) {
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &loop,
            [&onEveryTurn] { onEveryTurn(); });
        onEveryTurn();
    }
    // An application quitting ends every running loop: the gate still decides.
    while (!isOpen())
        loop.exec();
    QMutexLocker locker(&m_lock);
    std::erase(m_loops, &loop);
}
