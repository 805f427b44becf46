#pragma once

#include "actions/VeskActionOperation.h"
#include "actions/VeskActionOperationDelegate.h"
#include "actions/VeskActionProperties.h"

#include <QMutex>
#include <QString>

#include <functional>
#include <memory>

class VeskActionCellView;

/// One queued file action: its operation and the queue row that shows it. The
/// operation reports to the action on its worker thread; the action hands every change
/// of the row to the main thread.
class VeskAction : public VeskActionOperationDelegate, public std::enable_shared_from_this<VeskAction> {
public:
    /// Makes the action with an operation over a copy of the properties; none when it
    /// cannot be made.
    static std::shared_ptr<VeskAction> initWithOptions(const VeskActionProperties &properties);
    VeskAction(const VeskAction &) = delete;
    VeskAction &operator=(const VeskAction &) = delete;

    void VeskActionOperationWillStart(VeskActionOperation &operation) override;
    void VeskActionOperationStatusUpdate(VeskActionOperation &operation) override;
    /// Shows "Done" ("Done with errors" when any item failed), then runs the
    /// post-action script on the worker. The description ends with the outcome counts
    /// so far ("46 copied, 2 skipped, 0 failed").
    void VeskActionOperationDidFinished(VeskActionOperation &operation) override;
    /// The operation's cancelled flag turned on; called on the cancelling thread.
    void observeValueForKeyPath();

    void Action_cancel();
    /// The row's description, progress maximum and status word. Main thread.
    void SetStatusText();

    const std::shared_ptr<VeskActionOperation> &Action_Operation() const { return m_operation; }
    /// The row showing the action, or none. Main thread.
    VeskActionCellView *Action_Cell() const { return m_cell; }
    void setAction_Cell(VeskActionCellView *cell) { m_cell = cell; }

    /// A step run once, on the ending thread, when the operation has ended; at once
    /// when it already has. An empty step takes back the one set before.
    void setCompletionStep(std::function<void()> step);

private:
    VeskAction() = default;
    void operationEnded();
    QString descriptionText(const QString &count) const;
    QString endWord() const;
    /// The row's description while the action runs: "Copy 2 of 5 items ...".
    QString progressText() const;
    void showStatusWord(const QString &word, bool wait);
    void onRow(const std::function<void(VeskAction &, VeskActionCellView &)> &change, bool wait);

    std::shared_ptr<VeskActionOperation> m_operation;
    VeskActionCellView *m_cell = nullptr;
    QMutex m_completionLock;
    std::function<void()> m_completion;
    bool m_ended = false;
};
