#pragma once

#include "base/VeskEventWait.h"

#include <functional>
#include <thread>

/// One background job at a time, for work that hands steps to the main thread and
/// waits for them. Waiting for it on the main thread therefore keeps serving the main
/// thread until the job has ended.
class VeskWorkerThread {
public:
    VeskWorkerThread() = default;
    VeskWorkerThread(const VeskWorkerThread &) = delete;
    VeskWorkerThread &operator=(const VeskWorkerThread &) = delete;
    ~VeskWorkerThread() { wait(); }

    /// Runs the work on a new thread once the previous job has ended.
    void start(std::function<void()> work);
    /// Serves the main thread until the job has ended; `nudge` runs whenever the main
    /// thread wakes, to unblock a job that waits for the user.
    void wait(const std::function<void()> &nudge = {});

private:
    std::thread m_thread;
    VeskEventWait m_done;
};
