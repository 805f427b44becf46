#pragma once

#include <QMutex>
#include <QWaitCondition>

#include <functional>
#include <memory>
#include <optional>

/// Questions that a worker asks on the main thread and waits for. Once withdrawn
/// (the asking operation was cancelled), the wait in progress ends at once, a question
/// still waiting for the main thread is never shown, the answer to one already on
/// screen is ignored, and later questions are not asked at all. So the main thread can
/// wait for a cancelled worker without either waiting for the other.
class VeskActionQuestion {
public:
    VeskActionQuestion();

    /// Runs the question on the main thread and returns its answer, or withdrawnAnswer
    /// when the questions were withdrawn first.
    int ask(const std::function<int()> &question, int withdrawnAnswer);
    /// Callable from any thread.
    void withdraw();

private:
    struct Pending {
        std::optional<int> answer;
        bool withdrawn = false;
    };
    struct Shared {
        QMutex lock;
        QWaitCondition changed;
        bool withdrawn = false;
        std::shared_ptr<Pending> current;
    };
    std::shared_ptr<Shared> m_shared;
};
