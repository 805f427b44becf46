#pragma once

#include <QDialog>

class QHBoxLayout;
class VeskCore;
class VeskStoreTableView;

/// The project summary sheet of the database window: one row per project with its
/// number of shown files and their size.
class VeskProjectsSummarySheet : public QDialog {
    Q_OBJECT
public:
    VeskProjectsSummarySheet(VeskCore &core, QWidget *databaseWindow);

    VeskStoreTableView *ProjectSumaryTable() const { return m_table; }
    /// The row of buttons under the table, for commands that work on the summary.
    QHBoxLayout *buttonRow() const { return m_buttons; }

    void ShowProjectsSummary();
    void CloseProjectsSummary();

private:
    VeskCore &m_core;
    VeskStoreTableView *m_table;
    QHBoxLayout *m_buttons;
};
