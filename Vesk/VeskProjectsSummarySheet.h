#pragma once

#include "VeskToolButtonRow.h"

#include <QDialog>

class QPushButton;
class VeskCore;
class VeskStoreTableView;

/// The project summary sheet of the database window: one row per project with its
/// number of shown files and their size.
class VeskProjectsSummarySheet : public QDialog {
    Q_OBJECT
public:
    VeskProjectsSummarySheet(VeskCore &core, QWidget *databaseWindow);

    VeskStoreTableView *ProjectSumaryTable() const { return m_table; }
    /// A button under the table for a command that works on the summary, before the others.
    QPushButton *addToolButton(const QString &title) { return m_toolButtons.add(title); }

    void ShowProjectsSummary();
    void CloseProjectsSummary();

private:
    VeskStoreTableView *m_table;
    VeskToolButtonRow m_toolButtons;
};
