#pragma once

#include <QtCore/qtestsupport_core.h>

#include <functional>

/// Serves events until the condition holds; false when it did not within the time.
inline bool waitFor(const std::function<bool()> &condition, int timeoutMs = 15000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}
