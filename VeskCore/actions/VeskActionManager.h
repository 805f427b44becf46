#pragma once

#include "actions/VeskAction.h"
#include "actions/VeskActionProperties.h"
#include "platform/VeskOperationQueue.h"

#include <QMutex>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QTimer;
class VeskActionCellView;
class VeskActionQueueTable;

/// The action queue: runs the file actions one at a time, oldest first, and feeds the
/// queue panel's table, newest action in row 0, with a progress refresh every tenth of
/// a second. Lives on the main thread and is used there.
class VeskActionManager : public QObject {
    Q_OBJECT
public:
    VeskActionManager();
    /// Cancels what is left and waits, serving the main thread, until it has ended.
    ~VeskActionManager() override;

    // The panel.
    void queueAttachTo(VeskActionQueueTable *queue);
    VeskActionQueueTable *Queue() const { return m_queue; }
    /// Slides the panel in or out; nothing before a panel is attached.
    void queueToggle();
    bool isHidden() const { return m_isHidden; }

    /// Queues a new action; none (after an alert) when it cannot be made.
    std::shared_ptr<VeskAction> SetUpNewActionWithOptions(const VeskActionProperties &options);
    /// Asks, then cancels every action, waits for all to end and empties the list.
    void clearQueue();
    /// Removes a finished action at once; cancels any other and removes it once ended.
    void queueRemoveAction(const std::shared_ptr<VeskAction> &action);
    void continueRemoveAction(const std::shared_ptr<VeskAction> &action);

    // Table data.
    uint64_t numberOfRowsInTableView() const { return m_actions.size(); }
    /// The row's view with its progress brought up to date.
    VeskActionCellView *objectValueForTableColumn(uint64_t row);
    VeskActionCellView *GetCellForRow(uint64_t row) const;
    /// The table made this view show the row.
    void SetCell(VeskActionCellView *cell, uint64_t row);

    // Progress refresh.
    void setTimer();
    void updateProgress();
    bool isTimerActive() const;

    const std::vector<std::shared_ptr<VeskAction>> &actions() const { return m_actions; }
    VeskOperationQueue &actionsOpQueue() { return m_actionsOpQueue; }

Q_SIGNALS:
    /// An action has ended, done or cancelled; its items may have moved or gone.
    void actionEnded(const std::vector<VeskItemRef> &items);

private:
    void stopTimer();
    static void refreshProgress(VeskAction &action);

    QMutex theLock; // guards changes of m_actions
    std::vector<std::shared_ptr<VeskAction>> m_actions;
    VeskOperationQueue m_actionsOpQueue { 1 };
    QTimer *m_updateTimer = nullptr;
    VeskActionQueueTable *m_queue = nullptr;
    bool m_isHidden = true;
};
