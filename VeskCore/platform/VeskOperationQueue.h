#pragma once

#include "base/VeskEventWait.h"

#include <QMutex>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

/// A unit of background work with a cancel flag and a completion step.
class VeskOperation {
public:
    virtual ~VeskOperation() = default;
    virtual void main() = 0;

    /// Subclasses that do more on cancelling call this first.
    virtual void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }
    /// Runs on the worker thread after main(), cancelled or not.
    void setCompletionBlock(std::function<void()> block) { m_completion = std::move(block); }

private:
    friend class VeskOperationQueue;
    std::atomic<bool> m_cancelled { false };
    std::function<void()> m_completion;
};

/// Runs operations on worker threads, at most a given number at once, oldest first.
class VeskOperationQueue {
public:
    explicit VeskOperationQueue(int maxConcurrentOperations);
    ~VeskOperationQueue();

    void addOperation(std::shared_ptr<VeskOperation> operation);
    void cancelAllOperations();
    /// Blocks until every added operation has ended. On the main thread it keeps
    /// serving the main thread's events meanwhile, so that operations handing work to
    /// it go on; a timer there fires as usual. `flags` may leave the user's input for
    /// later, and `onEveryTurn` runs each time the main thread wakes.
    void waitUntilAllOperationsAreFinished(
        QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents, const std::function<void()> &onEveryTurn = {});
    int operationCount() const { return m_pending; }
    /// How many operations have been added since the queue was made.
    uint64_t addedCount() const { return m_added; }

private:
    void operationEnded();

    QThreadPool m_pool;
    QMutex m_lock;
    std::vector<std::weak_ptr<VeskOperation>> m_operations;
    std::atomic<int> m_pending { 0 }; // changed under m_lock
    std::atomic<uint64_t> m_added { 0 }; // changed under m_lock
    VeskEventWait m_idle;
};
