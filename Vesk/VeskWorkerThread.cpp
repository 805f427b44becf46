#include "VeskWorkerThread.h"

void VeskWorkerThread::start(std::function<void()> work)
{
    wait();
    m_done.close();
    m_thread = std::thread([this, work = std::move(work)] {
        work();
        m_done.open();
    });
}

void VeskWorkerThread::wait(const std::function<void()> &nudge)
{
    if (!m_thread.joinable())
        return;
    m_done.serveUntilOpen(nudge);
    m_thread.join();
}
