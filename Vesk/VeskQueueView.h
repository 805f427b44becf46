#pragma once

#include "actions/VeskActionQueueTable.h"

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

class QFrame;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class VeskActionManager;
class VeskActionTableCellView;

/// The action queue panel: one row per queued action, the newest on top, and a button
/// that clears the queue. It slides in at the side of the database window and out
/// again; a row's info button shows the action's log in a popover that does not wrap,
/// and a double click reveals the action's destination in the file manager.
class VeskQueueView : public QWidget, public VeskActionQueueTable {
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 340;
    static constexpr int kSlideMs = 250;

    explicit VeskQueueView(VeskActionManager &dataSource, QWidget *parent = nullptr);
    ~VeskQueueView() override;

    /// Puts the panel into the host, which then slides open and shut with it.
    void attachTo(QWidget *host);

    void insertRowAtTop() override;
    void removeRow(uint64_t row) override;
    void reloadData() override;
    void slide(bool visible) override;

    /// A fresh row view showing the manager's action at the row.
    VeskActionTableCellView *viewForRow(uint64_t row);
    /// The panel's clear button: asks, then empties the queue.
    void ClearQueue();
    void ShowInfoPopover(VeskActionTableCellView *row);
    void doubleClickQueue(int row);

    QListWidget *QueueTable() const { return m_table; }
    int rowCount() const;
    VeskActionTableCellView *rowView(int row) const;
    QPushButton *clearButton() const { return m_clear; }
    QFrame *popover() const { return m_popover; }
    QPlainTextEdit *popoverText() const { return m_popoverText; }

private:
    void placeRow(int row, VeskActionTableCellView *view);
    void cancelOperation(VeskActionTableCellView *row);
    void setHostWidth(int width);
    void makePopover();

    VeskActionManager &m_dataSource;
    QListWidget *m_table;
    QPushButton *m_clear;
    QFrame *m_popover = nullptr;
    QPlainTextEdit *m_popoverText = nullptr;
    QPointer<QWidget> m_host;
    QVariantAnimation m_slide;
};
