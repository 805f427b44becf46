#pragma once

#include "VeskTableModel.h"

#include "model/VeskTableView.h"

#include <QTableView>

class VeskCore;

/// A table view over one of the store's tables: the store reloads it, reads its
/// selection and its clicked row through the VeskTableView interface.
class VeskStoreTableView : public QTableView, public VeskTableView {
    Q_OBJECT
public:
    VeskStoreTableView(
        VeskCore &core, const QString &tableId, const std::vector<VeskColumn> &columns, QWidget *parent = nullptr);

    VeskTableModel *tableModel() const { return m_model; }
    VeskCore &core() const { return m_core; }

    QString identifier() const override { return m_model->tableId(); }
    void reloadData() override;
    std::vector<uint64_t> selectedRows() const override;
    int64_t selectedRow() const override;
    int64_t clickedRow() const override { return m_clickedRow; }
    void deselectAll() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    /// After a reset emptied the selection without telling anybody.
    virtual void selectionWasReset() { }

private:
    void rememberClickedRow(const QPoint &position);

    VeskCore &m_core;
    VeskTableModel *m_model;
    int64_t m_clickedRow = -1;
};
