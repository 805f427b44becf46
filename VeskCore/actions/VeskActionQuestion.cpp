#include "actions/VeskActionQuestion.h"

#include "base/VeskMainThread.h"

VeskActionQuestion::VeskActionQuestion()
    : m_shared(std::make_shared<Shared>())
{
}

int VeskActionQuestion::ask(const std::function<int()> &question, int withdrawnAnswer)
{
    const auto pending = std::make_shared<Pending>();
    {
        QMutexLocker locker(&m_shared->lock);
        if (m_shared->withdrawn)
            return withdrawnAnswer;
        m_shared->current = pending;
    }
    // The hand-over keeps the shared state alive: the asker may be gone by the time
    // the main thread gets to a withdrawn question.
    VeskMainThread::run(
        [shared = m_shared, pending, question] {
            {
                QMutexLocker locker(&shared->lock);
                if (pending->withdrawn)
                    return;
            }
            const int answer = question();
            QMutexLocker locker(&shared->lock);
            if (!pending->withdrawn)
                pending->answer = answer;
            shared->changed.wakeAll();
        },
        false);
    QMutexLocker locker(&m_shared->lock);
    while (!pending->answer && !pending->withdrawn)
        m_shared->changed.wait(&m_shared->lock);
    m_shared->current.reset();
    return pending->answer.value_or(withdrawnAnswer);
}

void VeskActionQuestion::withdraw()
{
    QMutexLocker locker(&m_shared->lock);
    m_shared->withdrawn = true;
    if (m_shared->current)
        m_shared->current->withdrawn = true;
    m_shared->changed.wakeAll();
}
