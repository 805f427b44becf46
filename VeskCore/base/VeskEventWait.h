#pragma once

#include <QEventLoop>
#include <QMutex>

#include <functional>
#include <vector>

class QObject;

/// A gate that one thread opens and another waits for while serving its own events,
/// so that work handed to the waiting thread meanwhile is still done. Opening the gate
/// wakes the waiting thread; nothing polls.
class VeskEventWait {
public:
    explicit VeskEventWait(bool open = true);

    /// Callable from any thread.
    void open();
    void close();
    bool isOpen() const;
    /// Serves the calling thread's events until the gate is open; returns at once if it
    /// is. `onEveryTurn` runs before the first turn and each time the thread wakes;
    /// `flags` may leave the user's input for later. Needs an application object.
    void serveUntilOpen(
        const std::function<void()> &onEveryTurn = {}, QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);

private:
    mutable QMutex m_lock;
    bool m_open;
    std::vector<QObject *> m_waiters; // nested waits, or waits on several threads
};
