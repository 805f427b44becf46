#pragma once

#include <functional>

/// Runs work on the main thread: queued without waiting, or waited for. Called on the
/// main thread itself (or with no application object), the work runs at once, since a
/// waiting hand-off to the own thread would never return.
class VeskMainThread {
public:
    static bool isMainThread();
    static void run(const std::function<void()> &work, bool wait);
};
