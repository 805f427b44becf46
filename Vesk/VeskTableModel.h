#pragma once

#include "model/VeskColumns.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <functional>
#include <vector>

class VeskCore;
class VeskTableView;

/// One of the store's tables as a Qt model: row n is the store's row n, each cell the
/// store's screen text. The store filters and sorts; the model only asks. Its row count
/// changes only in reload(), so that views always see a count that matches the
/// signals they were sent, even while a rebuild replaces the store's lists.
class VeskTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    VeskTableModel(VeskCore &core, QString tableId, std::vector<VeskColumn> columns, QObject *parent = nullptr);

    /// The image of the "IconCellID" cells; loaded once at start-up.
    static void setVideoIcon(const QIcon &icon);
    static const QIcon &videoIcon();

    const QString &tableId() const { return m_tableId; }
    const std::vector<VeskColumn> &columns() const { return m_columns; }
    /// The column of the identifier, or -1.
    int columnOf(const QString &identifier) const;
    /// The view whose drags and check boxes reach the store through this model.
    void setTableView(VeskTableView *view) { m_view = view; }
    /// Takes a project's check instead of the store's own check step; false leaves it
    /// to that step.
    using CheckHandler = std::function<bool(uint64_t row, bool checked)>;
    void setCheckHandler(CheckHandler handler) { m_checkHandler = std::move(handler); }

    /// Takes the store's current rows: a new row count resets the model, the same count
    /// refreshes every cell and keeps the selection. Returns whether it reset.
    bool reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    /// What a drag of these rows carries: the existing files as URLs and their names.
    QMimeData *mimeDataForRows(const std::vector<uint64_t> &rows) const;
    Qt::DropActions supportedDragActions() const override;

private:
    bool isCheckColumn(int column) const;
    Qt::Alignment alignment(int column) const;

    VeskCore &m_core;
    const QString m_tableId;
    const std::vector<VeskColumn> m_columns;
    VeskTableView *m_view = nullptr;
    CheckHandler m_checkHandler;
    int m_rows = 0;
};
