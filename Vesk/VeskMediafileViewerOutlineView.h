#pragma once

#include <QTreeView>

class VeskMediafileOutlineModel;
class VeskMediafileViewerPreviewPanel;

/// The inspector's outline. The space key opens the floating preview of the selected
/// entry, growing it from the row over the outline, and closes it again; while it is
/// open it follows the selection.
class VeskMediafileViewerOutlineView : public QTreeView {
    Q_OBJECT
public:
    explicit VeskMediafileViewerOutlineView(QWidget *parent = nullptr);

    void setOutlineModel(VeskMediafileOutlineModel *model);
    VeskMediafileViewerPreviewPanel *previewPanel() const { return m_previewPanel; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showPreview();
    QRect selectedRowOnScreen() const;
    QModelIndex selectedIndex() const;

    VeskMediafileOutlineModel *m_model = nullptr;
    VeskMediafileViewerPreviewPanel *m_previewPanel;
};
