#include "VeskWorkerThread.h"

#include <QCoreApplication>

void VeskWorkerThread::start(std::function<void()> work)
{
    wait();
    m_done = false;
    m_thread = std::thread([this, work = std::move(work)] {
        work();
        m_done = true;
    });
}

void VeskWorkerThread::wait(const std::function<void()> &nudge)
{
    if (!m_thread.joinable())
        return;
    while (!m_done) {
        if (nudge)
            nudge();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    m_thread.join();
}
