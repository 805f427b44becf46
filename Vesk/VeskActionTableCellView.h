#pragma once

#include "actions/VeskActionCellView.h"

#include <QFrame>

#include <memory>

class QLabel;
class QToolButton;
class VeskProgressBar;

/// One row of the queue panel: the action's description, its status word, a progress
/// bar, an info button that shows the action's log and a cancel button that removes
/// the action. The panel decides what the buttons do.
class VeskActionTableCellView : public QFrame, public VeskActionCellView {
    Q_OBJECT
public:
    explicit VeskActionTableCellView(QWidget *parent = nullptr);

    void setActionDelegate(std::weak_ptr<VeskAction> action) override { m_actionDelegate = std::move(action); }
    std::shared_ptr<VeskAction> actionDelegate() const { return m_actionDelegate.lock(); }
    void setDescription(const QString &text) override;
    void setStatusWord(const QString &word) override;
    VeskProgressIndicator &ProgressIndicator() override;

    QString description() const;
    QString statusWord() const;
    VeskProgressBar *progressBar() const { return m_progress; }
    QToolButton *infoButton() const { return m_info; }
    QToolButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    /// The row's cancel button: remove the action.
    void cancelOperation(VeskActionTableCellView *row);
    /// The row's info button: show the action's log next to the button.
    void ShowInfoPopover(VeskActionTableCellView *row);
    void doubleClicked(VeskActionTableCellView *row);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    std::weak_ptr<VeskAction> m_actionDelegate;
    QString m_description;
    QLabel *m_textField;
    QLabel *m_statusText;
    VeskProgressBar *m_progress;
    QToolButton *m_info;
    QToolButton *m_cancel;
};
