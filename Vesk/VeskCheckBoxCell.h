#pragma once

#include <QStyledItemDelegate>

/// The check box cell of the project filter table: a check box centred in its cell,
/// turned by a click anywhere in the cell. The new state goes to the model as the
/// cell's check state, and from there with the row to the store.
class VeskCheckBoxCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    /// Sets the check state of the cell's row.
    static void SetCheck(QAbstractItemModel *model, const QModelIndex &index, bool on);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
        const QModelIndex &index) override;
};
