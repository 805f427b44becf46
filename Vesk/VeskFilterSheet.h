#pragma once

#include <QDialog>

#include <array>

class VeskListsHost;
class QCheckBox;
class QPushButton;
class VeskStoreTableView;

/// The filter sheet of the database window: six show-only flags, the projects with a
/// check box each, and a button that checks or unchecks them all.
class VeskFilterSheet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFlagCount = 6;

    VeskFilterSheet(VeskListsHost &host, QWidget *databaseWindow);

    QCheckBox *flagCheckBox(int flag) const { return m_flagBoxes[size_t(flag)]; }
    VeskStoreTableView *ProjectFilterTable() const { return m_projects; }
    QPushButton *FilterSelectAllButton() const { return m_selectAll; }

    void ShowFilter();
    void CloseFilter();
    void pushFilterSelectAllButton();
    /// Turns the select-all button on and runs it, as a scan does before it starts.
    void selectAllProjects();
    /// Sets the show-only flag from its check box, rebuilds and reloads all tables.
    void ChangeFilterState(int flag);
    void ResetFilterState();
    /// Sets the six check boxes from the filter.
    void showFilterFlags();

private:
    void addFlagBoxes(class QGridLayout *grid);

    VeskListsHost &m_host;
    std::array<QCheckBox *, kFlagCount> m_flagBoxes {};
    VeskStoreTableView *m_projects;
    QPushButton *m_selectAll;
};
