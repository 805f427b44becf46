#pragma once

#include "base/VeskEventWait.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

/// Store work that takes long over a million items, run on a worker so that the event
/// loop keeps turning. Meanwhile the application shows itself busy, with a status text
/// and the busy cursor, so that commands that would change the store wait. The work
/// returns the step that puts its result in place, which runs on the main thread in one
/// go. A request made while another runs supersedes it: the running work is told to
/// stop and its result is dropped, and the latest request runs next. Work that changes
/// the store is not superseded: other requests wait until it has ended, as they wait
/// for a scan, and its result is always put in place.
class VeskBusyJob : public QObject {
    Q_OBJECT
public:
    using Apply = std::function<void()>;
    /// Runs on the worker; reads the store and gives the step that applies its result.
    using Work = std::function<Apply(const std::atomic<bool> &cancelled)>;

    /// The job of the application's store.
    static VeskBusyJob &shared();
    ~VeskBusyJob() override;

    enum class Kind { Reads, Changes };

    void start(const QString &status, Work work, Kind kind = Kind::Reads);
    bool isBusy() const { return m_busy; }
    /// Stops the work and waits for it, serving the main thread meanwhile, which the
    /// work may hand steps to; nothing is put in place. For the store going away.
    void stop();
    /// A scan or another busy state not of this job: store requests wait for it.
    bool othersBusy() const;

Q_SIGNALS:
    /// A result has been put in place and no request waits.
    void finished();

private:
    VeskBusyJob() = default;
    struct Request {
        Work work;
        Kind kind;
    };
    void launch(Request request);
    void workDone(uint64_t generation, const Apply &apply);
    void endBusy();

    std::thread m_thread;
    VeskEventWait m_workEnded;
    uint64_t m_generation = 0; // a stop drops the result of the work it waited for
    std::atomic<bool> m_cancelled { false };
    std::optional<Request> m_pending;
    Kind m_kind = Kind::Reads;
    QString m_statusBefore;
    bool m_busy = false;
};
