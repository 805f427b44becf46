#include "VeskMediafileViewerOutlineView.h"

#include "VeskMediafileOutlineModel.h"
#include "VeskMediafileViewerPreviewPanel.h"

#include "readers/VeskMediafile.h"

#include <QHeaderView>
#include <QKeyEvent>

VeskMediafileViewerOutlineView::VeskMediafileViewerOutlineView(QWidget *parent)
    : QTreeView(parent)
    , m_previewPanel(new VeskMediafileViewerPreviewPanel(this))
{
    setObjectName(QStringLiteral("mainView"));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
}

void VeskMediafileViewerOutlineView::setOutlineModel(VeskMediafileOutlineModel *model)
{
    m_model = model;
    setModel(model);
}

void VeskMediafileViewerOutlineView::keyPressEvent(QKeyEvent *event)
{
    if (event->text() == QLatin1String(" ") && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (m_previewPanel->isVisible())
            m_previewPanel->hidePanel();
        else
            showPreview();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void VeskMediafileViewerOutlineView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    if (!m_previewPanel->isVisible())
        return;
    m_previewPanel->hidePanel();
    showPreview();
}

void VeskMediafileViewerOutlineView::hideEvent(QHideEvent *event)
{
    m_previewPanel->hidePanel();
    QTreeView::hideEvent(event);
}

void VeskMediafileViewerOutlineView::showPreview()
{
    if (m_model && m_model->mediafile())
        m_previewPanel->updateContentsWith(
            m_model->mediafile()->getNSViewWithContentsFor(m_model->rowAt(selectedIndex())));
    m_previewPanel->animateFrom(selectedRowOnScreen(), QRect(mapToGlobal(QPoint(0, 0)), size()), true);
}

QRect VeskMediafileViewerOutlineView::selectedRowOnScreen() const
{
    QRect rect = visualRect(selectedIndex());
    rect.setLeft(0);
    rect.setWidth(viewport()->width());
    rect = rect.intersected(viewport()->rect());
    if (rect.isEmpty())
        rect = QRect(viewport()->rect().center(), QSize(1, 1));
    return QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

QModelIndex VeskMediafileViewerOutlineView::selectedIndex() const
{
    return selectionModel() ? selectionModel()->selectedRows().value(0) : QModelIndex();
}
