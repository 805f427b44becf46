#pragma once

#include "model/VeskDuplicates.h"

#include <QAbstractItemModel>
#include <QHash>

/// The duplicate finder's outline: a row per group (clip name, project, size, copies,
/// the space its extra copies take, its problem) opening into a row per copy (path,
/// volume, created date, whether the file exists).
class VeskDuplicatesModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { Name, Place, Size, Copies, ExtraSize, Created, Status, ColumnCount };

    using QAbstractItemModel::QAbstractItemModel;

    void setGroups(std::vector<VeskDuplicates::Group> groups);
    const std::vector<VeskDuplicates::Group> &groups() const { return m_groups; }
    /// The copy a copy row shows; null for a group row.
    VeskItemRef copyAt(const QModelIndex &index) const;
    QModelIndex indexOfCopy(size_t group, size_t copy) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString groupText(const VeskDuplicates::Group &group, int column) const;
    QString copyText(const VeskDatabaseItem &copy, int column) const;
    QString volumeOf(const VeskDatabaseItem &copy) const;

    std::vector<VeskDuplicates::Group> m_groups;
    mutable QHash<QString, QString> m_volumes; // per folder
};
