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

// Reading work stops when told; changing work is short enough to wait for.
VeskBusyJob::~VeskBusyJob()
{
    m_cancelled = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool VeskBusyJob::othersBusy() const
{
    return status()->isRunning() && (!m_busy || m_kind == Kind::Changes);
}

void VeskBusyJob::start(const QString &statusText, Work work, Kind kind)
{
    if (m_busy) {
        m_cancelled = true;
        m_pending.emplace(std::move(work), kind);
        status()->Status_SetTextWithString(statusText);
        return;
    }
    m_busy = true;
    m_statusBefore = status()->text();
    status()->setIsRunning(true);
    status()->Status_SetTextWithString(statusText);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    launch({ std::move(work), kind });
}

void VeskBusyJob::launch(Request request)
{
    m_cancelled = false;
    m_kind = request.kind;
    m_workEnded.close();
    m_thread = std::thread([this, generation = ++m_generation, work = std::move(request.work)] {
        Apply apply = work(m_cancelled);
        m_workEnded.open();
        QMetaObject::invokeMethod(
            this, [this, generation, apply = std::move(apply)] { workDone(generation, apply); }, Qt::QueuedConnection);
    });
}

void VeskBusyJob::stop()
{
    if (!m_thread.joinable())
        return;
    m_pending.reset();
    m_cancelled = true;
    ++m_generation;
    m_workEnded.serveUntilOpen({}, QEventLoop::ExcludeUserInputEvents);
    m_thread.join();
    endBusy();
}

// Only one worker uses the store at a time, and results are put in place only once it
// has ended, so that no step changes the lists under a worker. A change has happened
// whatever was asked after it, so its result always goes in place.
void VeskBusyJob::workDone(uint64_t generation, const Apply &apply)
{
    if (generation != m_generation)
        return;
    m_thread.join();
    if (apply && (m_kind == Kind::Changes || !m_cancelled))
        apply();
    if (m_pending) {
        Request next = std::move(*m_pending);
        m_pending.reset();
        launch(std::move(next));
        return;
    }
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
