#include "platform/VeskOperationQueue.h"

#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"

#include <QCoreApplication>

#include <exception>

VeskOperationQueue::VeskOperationQueue(int maxConcurrentOperations)
{
    m_pool.setMaxThreadCount(maxConcurrentOperations);
    m_pool.setExpiryTimeout(-1);
}

VeskOperationQueue::~VeskOperationQueue()
{
    cancelAllOperations();
    m_pool.waitForDone();
}

void VeskOperationQueue::addOperation(std::shared_ptr<VeskOperation> operation)
{
    if (!operation)
        return;
    {
        QMutexLocker locker(&m_lock);
        std::erase_if(m_operations, [](const std::weak_ptr<VeskOperation> &o) { return o.expired(); });
        m_operations.push_back(operation);
        ++m_added;
        if (m_pending++ == 0)
            m_idle.close();
    }
    m_pool.start([this, operation] {
        // No exception leaves a worker: it becomes a logged failure of this operation.
        try {
            operation->main();
        } catch (const std::exception &error) {
            VESK_LOG(QStringLiteral("Operation failed: %1").arg(QString::fromUtf8(error.what())));
        } catch (...) {
            VESK_LOG(QStringLiteral("Operation failed"));
        }
        if (operation->m_completion)
            operation->m_completion();
        operationEnded();
    });
}

void VeskOperationQueue::operationEnded()
{
    QMutexLocker locker(&m_lock);
    if (--m_pending == 0)
        m_idle.open();
}

void VeskOperationQueue::cancelAllOperations()
{
    QMutexLocker locker(&m_lock);
    for (const std::weak_ptr<VeskOperation> &weak : m_operations)
        if (const std::shared_ptr<VeskOperation> operation = weak.lock())
            operation->cancel();
}

void VeskOperationQueue::waitUntilAllOperationsAreFinished(
    QEventLoop::ProcessEventsFlags flags, const std::function<void()> &onEveryTurn)
{
    if (QCoreApplication::instance() && VeskMainThread::isMainThread())
        m_idle.serveUntilOpen(onEveryTurn, flags);
    m_pool.waitForDone();
}
