#include "VeskBusyJob.h"

#include "platform/VeskStatusViewController.h"

#include <QApplication>

namespace {

VeskStatusViewController *status()
{
    return VeskStatusViewController::getTheController();
}

} // namespace

VeskBusyJob &VeskBusyJob::shared()
{
    static VeskBusyJob *const job = new VeskBusyJob;
    return *job;
}

// The work only reads the store, so stopping it and waiting is short.
VeskBusyJob::~VeskBusyJob()
{
    m_cancelled = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool VeskBusyJob::othersBusy() const
{
    return status()->isRunning() && !m_busy;
}

void VeskBusyJob::start(const QString &statusText, Work work)
{
    if (m_busy) {
        m_cancelled = true;
        m_pending.emplace(statusText, std::move(work));
        status()->Status_SetTextWithString(statusText);
        return;
    }
    m_busy = true;
    m_statusBefore = status()->text();
    status()->setIsRunning(true);
    status()->Status_SetTextWithString(statusText);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    launch(std::move(work));
}

void VeskBusyJob::launch(Work work)
{
    m_cancelled = false;
    m_thread = std::thread([this, work = std::move(work)] {
        Apply apply = work(m_cancelled);
        QMetaObject::invokeMethod(
            this, [this, apply = std::move(apply)] { workDone(apply); }, Qt::QueuedConnection);
    });
}

// Only one worker reads the store at a time, and results are put in place only once it
// has ended, so that no step changes the lists under a worker.
void VeskBusyJob::workDone(const Apply &apply)
{
    m_thread.join();
    if (m_pending) {
        Work next = std::move(m_pending->second);
        m_pending.reset();
        launch(std::move(next));
        return;
    }
    if (apply && !m_cancelled)
        apply();
    endBusy();
    Q_EMIT finished();
}

void VeskBusyJob::endBusy()
{
    m_busy = false;
    QApplication::restoreOverrideCursor();
    status()->setIsRunning(false);
    status()->Status_SetTextWithString(m_statusBefore);
}
