#include "VeskStoreTableView.h"

#include <QHeaderView>
#include <QMouseEvent>

VeskStoreTableView::VeskStoreTableView(
    VeskCore &core, const QString &tableId, const std::vector<VeskColumn> &columns, QWidget *parent)
    : QTableView(parent)
    , m_core(core)
    , m_model(new VeskTableModel(core, tableId, columns, this))
{
    m_model->setTableView(this);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    verticalHeader()->hide();
    // Fixed row heights let the view place a million rows without measuring any.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
}

void VeskStoreTableView::reloadData()
{
    if (m_model->reload())
        selectionWasReset();
}

// The selection is kept as row ranges; reading the ranges stays cheap when a million
// rows are selected.
std::vector<uint64_t> VeskStoreTableView::selectedRows() const
{
    std::vector<uint64_t> rows;
    if (!selectionModel())
        return rows;
    for (const QItemSelectionRange &range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(uint64_t(row));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int64_t VeskStoreTableView::selectedRow() const
{
    if (!selectionModel() || !selectionModel()->hasSelection())
        return -1;
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), {}))
        return current.row();
    const std::vector<uint64_t> rows = selectedRows();
    return rows.empty() ? -1 : int64_t(rows.front());
}

void VeskStoreTableView::deselectAll()
{
    clearSelection();
}

void VeskStoreTableView::rememberClickedRow(const QPoint &position)
{
    const QModelIndex index = indexAt(position);
    m_clickedRow = index.isValid() ? index.row() : -1;
}

void VeskStoreTableView::mousePressEvent(QMouseEvent *event)
{
    rememberClickedRow(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void VeskStoreTableView::mouseDoubleClickEvent(QMouseEvent *event)
{
    rememberClickedRow(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
}
