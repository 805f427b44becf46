#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QPushButton;
class QTableWidget;

/// The sheet that asks which mounted volumes a volume scan searches: one check box
/// per volume, all checked at first, with select all or none and a random choice. On
/// confirmation it runs its callback once on the main thread; Cancel, Escape and
/// closing it end it with QDialog::Rejected and run nothing.
class VeskVolumeSelector : public QDialog {
    Q_OBJECT
public:
    /// Made on the main thread.
    VeskVolumeSelector(const QStringList &volumes, QWidget *parent);

    /// Keeps the callback and shows the sheet on its parent; callable from any thread.
    void DoSomethingUsefulWithBlock(std::function<void()> block);
    void pushGo();
    /// The checked volumes, in table order.
    QStringList createResultingArray() const;
    void delectDeselectAll(bool on);
    void randomizeSelection();

    const QStringList &VolumesArray() const { return m_volumes; }
    const std::vector<bool> &VolumesCheck() const { return m_checks; }
    void setVolumeChecked(int row, bool checked);
    QTableWidget *VolumesTable() const { return m_table; }
    QPushButton *toggleButton() const { return m_toggle; }

private:
    void reloadTable();
    void sheetDidEnd(int result);

    QStringList m_volumes;
    std::vector<bool> m_checks;
    std::function<void()> m_block;
    QTableWidget *m_table;
    QPushButton *m_toggle;
};
