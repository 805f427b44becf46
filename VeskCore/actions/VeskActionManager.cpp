#include "actions/VeskActionManager.h"

#include "actions/VeskActionCellView.h"
#include "actions/VeskActionQueueTable.h"
#include "actions/VeskPythonScript.h"
#include "report/VeskAlert.h"

#include <QTimer>

#include <algorithm>

VeskActionManager::VeskActionManager() = default;

VeskActionManager::~VeskActionManager()
{
    for (const std::shared_ptr<VeskAction> &action : m_actions) {
        action->setCompletionStep({});
        action->setAction_Cell(nullptr);
    }
    m_actionsOpQueue.cancelAllOperations();
    m_actionsOpQueue.waitUntilAllOperationsAreFinished(QEventLoop::ExcludeUserInputEvents);
}

void VeskActionManager::queueAttachTo(VeskActionQueueTable *queue)
{
    m_queue = queue;
}

void VeskActionManager::queueToggle()
{
    if (!m_queue)
        return;
    m_isHidden = !m_isHidden;
    m_queue->slide(!m_isHidden);
}

std::shared_ptr<VeskAction> VeskActionManager::SetUpNewActionWithOptions(const VeskActionProperties &options)
{
    const std::shared_ptr<VeskAction> action = VeskAction::initWithOptions(options);
    if (!action) {
        VeskAlert::ShowDialog_with_errorName(
            QStringLiteral("Error creating action"), QStringLiteral("Something went wrong."));
        return nullptr;
    }
    // The manager outlives its queue's operations: it waits for them when it goes.
    action->Action_Operation()->setCompletionBlock([this, items = options.items.value_or(std::vector<VeskItemRef>())] {
        QMetaObject::invokeMethod(
            this, [this, items] { Q_EMIT actionEnded(items); }, Qt::QueuedConnection);
    });
    QMutexLocker locker(&theLock);
    m_actions.insert(m_actions.begin(), action);
    if (m_queue)
        m_queue->insertRowAtTop();
    m_actionsOpQueue.addOperation(action->Action_Operation());
    if (m_isHidden)
        queueToggle();
    return action;
}

void VeskActionManager::clearQueue()
{
    if (m_actions.empty())
        return;
    if (VeskAlert::ShowDialog_with_YesNo(QStringLiteral("Really clear queue?"), QStringLiteral("Are you sure?"))
        != VeskAlert::First)
        return;
    stopTimer();
    const std::vector<std::shared_ptr<VeskAction>> cleared = m_actions;
    {
        QMutexLocker locker(&theLock);
        for (const std::shared_ptr<VeskAction> &action : cleared)
            action->setCompletionStep({});
        m_actionsOpQueue.cancelAllOperations();
        VeskPythonScript::stopRunningScript();
    }
    // Not under the lock: the events served meanwhile may remove rows themselves.
    m_actionsOpQueue.waitUntilAllOperationsAreFinished(QEventLoop::ExcludeUserInputEvents);
    {
        QMutexLocker locker(&theLock);
        for (const std::shared_ptr<VeskAction> &action : cleared) {
            action->setAction_Cell(nullptr);
            std::erase(m_actions, action);
        }
    }
    if (m_queue)
        m_queue->reloadData();
}

void VeskActionManager::queueRemoveAction(const std::shared_ptr<VeskAction> &action)
{
    if (!action)
        return;
    const std::weak_ptr<VeskAction> weak = action;
    const auto remove = [this, weak] {
        QMetaObject::invokeMethod(
            this,
            [this, weak] {
                if (const auto ended = weak.lock())
                    continueRemoveAction(ended);
            },
            Qt::QueuedConnection);
    };
    if (action->Action_Operation()->isFinished()) {
        remove();
        return;
    }
    action->setCompletionStep(remove);
    action->Action_cancel();
}

void VeskActionManager::continueRemoveAction(const std::shared_ptr<VeskAction> &action)
{
    QMutexLocker locker(&theLock);
    const auto found = std::find(m_actions.begin(), m_actions.end(), action);
    if (found != m_actions.end()) {
        const auto row = uint64_t(found - m_actions.begin());
        action->setAction_Cell(nullptr);
        m_actions.erase(found);
        if (m_queue)
            m_queue->removeRow(row);
    }
    if (m_actions.empty())
        stopTimer();
}

void VeskActionManager::refreshProgress(VeskAction &action)
{
    VeskActionCellView *cell = action.Action_Cell();
    const VeskActionOperation &operation = *action.Action_Operation();
    if (!cell)
        return;
    if (operation.isExecuting())
        cell->ProgressIndicator().setDoubleValue(double(operation.BytesDone()) + double(operation.bWritten()));
    else if (operation.isFinished())
        cell->ProgressIndicator().setIndeterminate(true);
}

VeskActionCellView *VeskActionManager::objectValueForTableColumn(uint64_t row)
{
    if (row >= m_actions.size())
        return nullptr;
    refreshProgress(*m_actions[row]);
    return m_actions[row]->Action_Cell();
}

VeskActionCellView *VeskActionManager::GetCellForRow(uint64_t row) const
{
    return row < m_actions.size() ? m_actions[row]->Action_Cell() : nullptr;
}

void VeskActionManager::SetCell(VeskActionCellView *cell, uint64_t row)
{
    if (!cell || row >= m_actions.size())
        return;
    // A reused view shows only its new row.
    for (const std::shared_ptr<VeskAction> &action : m_actions)
        if (action->Action_Cell() == cell)
            action->setAction_Cell(nullptr);
    const std::shared_ptr<VeskAction> &action = m_actions[row];
    action->setAction_Cell(cell);
    action->SetStatusText();
    cell->setActionDelegate(action);
    if (!isTimerActive())
        setTimer();
}

void VeskActionManager::setTimer()
{
    if (!m_updateTimer) {
        m_updateTimer = new QTimer(this);
        m_updateTimer->setInterval(100);
        connect(m_updateTimer, &QTimer::timeout, this, &VeskActionManager::updateProgress);
    }
    m_updateTimer->start();
}

void VeskActionManager::stopTimer()
{
    if (m_updateTimer)
        m_updateTimer->stop();
}

bool VeskActionManager::isTimerActive() const
{
    return m_updateTimer && m_updateTimer->isActive();
}

void VeskActionManager::updateProgress()
{
    for (const std::shared_ptr<VeskAction> &action : m_actions)
        refreshProgress(*action);
}
