#pragma once

#include "readers/VeskInspectorRow.h"

#include <QAbstractItemModel>

#include <memory>
#include <vector>

class VeskMediafile;

/// The inspector's outline as a Qt model over a media file front end. The front end
/// answers with rows that may appear under several parents (one object referenced
/// twice) or even under themselves, so the model keeps a node per place in the
/// outline, made when the view first asks for it.
class VeskMediafileOutlineModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit VeskMediafileOutlineModel(QObject *parent = nullptr);
    ~VeskMediafileOutlineModel() override;

    /// Shows another front end, or the same one after it opened another file.
    void setMediafile(std::shared_ptr<VeskMediafile> mediafile);
    const std::shared_ptr<VeskMediafile> &mediafile() const { return m_mediafile; }
    /// The row at the index, or null.
    const VeskInspectorRow *rowAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    struct Node;
    Node *nodeAt(const QModelIndex &index) const;
    bool isExpandable(const Node &node) const;
    void countChildren(Node &node) const;

    std::shared_ptr<VeskMediafile> m_mediafile;
    std::unique_ptr<Node> m_root;
};
