#pragma once

#include <QMutex>

#include <functional>
#include <vector>

class QEventLoop;

/// A gate that one thread opens and another waits for while running its own event
/// loop, so that work handed to the waiting thread meanwhile is still served. Opening
/// the gate wakes the loop; nothing polls.
class VeskEventWait {
public:
    explicit VeskEventWait(bool open = true);

    /// Callable from any thread.
    void open();
    void close();
    bool isOpen() const;
    /// Runs the calling thread's event loop until the gate is open; returns at once if
    /// it is. `onEveryTurn` runs before the first turn and each time the loop wakes.
    /// Needs an application object.
    void serveUntilOpen(const std::function<void()> &onEveryTurn = {});

private:
    mutable QMutex m_lock;
    bool m_open;
    std::vector<QEventLoop *> m_loops; // nested or on several threads
};
