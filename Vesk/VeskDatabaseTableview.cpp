#include "VeskDatabaseTableview.h"

#include "VeskBusyJob.h"
#include "VeskMediafileViewerPreviewPanel.h"
#include "VeskWorkspace.h"

#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QSignalBlocker>

namespace {

const QString kVisibleColumnsKey = QStringLiteral("kUserDefaultsKeyVisisbleColumns");

bool isExempt(VeskColumnID column)
{
    return column == VeskColumnID::Filename || column == VeskColumnID::Clipname;
}

int defaultWidth(VeskColumnID column)
{
    switch (column) {
    case VeskColumnID::Icon: return 28;
    case VeskColumnID::Filename: return 250;
    case VeskColumnID::Clipname: return 190;
    case VeskColumnID::Project: return 140;
    case VeskColumnID::Size: return 80;
    case VeskColumnID::Date: return 140;
    case VeskColumnID::Compression: return 170;
    case VeskColumnID::Framerate: return 80;
    case VeskColumnID::Samplerate: return 90;
    case VeskColumnID::Bits: return 50;
    case VeskColumnID::Kind: return 90;
    case VeskColumnID::Path: return 360;
    case VeskColumnID::UsedByBins: return 180;
    case VeskColumnID::FilePackageUID:
    case VeskColumnID::MaterialPackageUID: return 300;
    default: return 100;
    }
}

} // namespace

VeskDatabaseTableview::VeskDatabaseTableview(VeskCore &core, QWidget *parent)
    : VeskStoreTableView(core, VeskTableID::Database, VeskColumns::databaseColumns(), parent)
    , m_previewPanel(new VeskMediafileViewerPreviewPanel(this))
{
    setObjectName(QStringLiteral("DatabaseTable"));
    QHeaderView *header = horizontalHeader();
    for (int i = 0; i < tableModel()->columnCount(); ++i)
        header->resizeSection(i, defaultWidth(tableModel()->columns()[size_t(i)].id));
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &VeskDatabaseTableview::sortIndicatorDidChange);
    setupHeaderMenu();
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    connect(this, &QAbstractItemView::doubleClicked, this, &VeskDatabaseTableview::doubleClickDatabase);
}

VeskDatabaseTableview::~VeskDatabaseTableview() = default;

// Columns missing from the stored dictionary are hidden; the file name and clip name
// columns have no menu item and always show.
void VeskDatabaseTableview::setupHeaderMenu()
{
    m_headerMenu = new QMenu(this);
    const QVariant stored = VeskSettings::shared().value(kVisibleColumnsKey);
    const QVariantMap visible = stored.toMap();
    const std::vector<VeskColumn> &columns = tableModel()->columns();
    for (int i = 0; i < int(columns.size()); ++i) {
        const VeskColumn &column = columns[size_t(i)];
        if (isExempt(column.id))
            continue;
        if (stored.isValid())
            setColumnHidden(i, !visible.value(column.identifier).toBool());
        QAction *item = m_headerMenu->addAction(column.title.isEmpty() ? tr("Icon") : column.title);
        item->setCheckable(true);
        item->setData(i);
        item->setChecked(!isColumnHidden(i));
        connect(item, &QAction::triggered, this, [this, item] { toggleColumn(item); });
    }
    connect(m_headerMenu, &QMenu::aboutToShow, this, &VeskDatabaseTableview::menuWillOpen);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(horizontalHeader(), &QWidget::customContextMenuRequested, this,
        [this](const QPoint &position) { m_headerMenu->popup(horizontalHeader()->mapToGlobal(position)); });
}

void VeskDatabaseTableview::toggleColumn(QAction *item)
{
    const int column = item->data().toInt();
    setColumnHidden(column, !isColumnHidden(column));
    item->setChecked(!isColumnHidden(column));
    QVariantMap visible;
    const std::vector<VeskColumn> &columns = tableModel()->columns();
    for (int i = 0; i < int(columns.size()); ++i)
        visible.insert(columns[size_t(i)].identifier, isColumnHidden(i) ? 0 : 1);
    VeskSettings::shared().setValue(kVisibleColumnsKey, visible);
}

void VeskDatabaseTableview::menuWillOpen()
{
    for (QAction *item : m_headerMenu->actions())
        item->setChecked(!isColumnHidden(item->data().toInt()));
}

void VeskDatabaseTableview::clearSortDescriptors()
{
    m_sortDescriptors.clear();
    m_appliedDescriptors.clear();
    m_sortSection = -1;
    m_sortOrder = Qt::AscendingOrder;
    const QSignalBlocker blocker(horizontalHeader());
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    horizontalHeader()->viewport()->update();
}

// The clicked column's key goes first, the earlier keys order what it finds equal.
// Columns without a key, and clicks while a scan runs, leave the order as it was. A
// million rows take a good part of a second to sort: a click while one sort runs
// supersedes it.
void VeskDatabaseTableview::sortIndicatorDidChange(int section, Qt::SortOrder order)
{
    const QString key = section >= 0 ? tableModel()->columns()[size_t(section)].sortKey : QString();
    if (key.isEmpty() || VeskBusyJob::shared().othersBusy()) {
        const QSignalBlocker blocker(horizontalHeader());
        horizontalHeader()->setSortIndicator(m_sortSection, m_sortOrder);
        return;
    }
    m_sortSection = section;
    m_sortOrder = order;
    std::erase_if(m_sortDescriptors, [&](const VeskSortDescriptor &d) { return d.key == key; });
    m_sortDescriptors.insert(m_sortDescriptors.begin(), { key, order == Qt::AscendingOrder });
    if (m_sortDescriptors.size() > kMaxSortDescriptors)
        m_sortDescriptors.resize(kMaxSortDescriptors);
    refreshRows(false, tr("Sorting"));
}

bool VeskDatabaseTableview::isSorting() const
{
    return VeskBusyJob::shared().isBusy() && m_sortDescriptors != m_appliedDescriptors;
}

void VeskDatabaseTableview::refreshRows(bool recount, const QString &statusText, std::function<void(VeskCore &)> change)
{
    VeskCore *store = &core();
    const std::vector<VeskSortDescriptor> wanted = m_sortDescriptors;
    const bool sort = !wanted.empty() && wanted != m_appliedDescriptors;
    const VeskBusyJob::Kind kind = change ? VeskBusyJob::Kind::Changes : VeskBusyJob::Kind::Reads;
    VeskBusyJob::shared().start(
        statusText,
        [this, store, wanted, sort, recount, state = store->filterState(), change = std::move(change)](
            const std::atomic<bool> &cancelled) -> VeskBusyJob::Apply {
            if (change)
                change(*store);
            std::optional<std::vector<uint32_t>> sorted;
            if (sort && !(sorted = store->sortedList(wanted, &cancelled)))
                return {};
            std::optional<VeskCore::ShownList> shown
                = store->filteredList(state, sorted ? *sorted : store->IndexesSorted(), &cancelled, recount);
            if (!shown)
                return {};
            return [table = QPointer(this), store, wanted, sorted = std::move(sorted),
                       shown = std::move(*shown)]() mutable {
                if (sorted)
                    store->setSortedList(std::move(*sorted));
                if (shown.projects)
                    store->setProjectCounts(*shown.projects);
                store->setShownList(std::move(shown));
                if (!table)
                    return;
                Q_EMIT table->rowsRefreshed();
                if (sorted) {
                    table->m_appliedDescriptors = wanted;
                    Q_EMIT table->sortFinished();
                }
            };
        },
        kind);
}

std::optional<VeskPreviewContents> VeskDatabaseTableview::getNSViewWithContentsFor(const VeskItemRef &item)
{
    if (!item)
        return std::nullopt;
    return VeskPreviewContents { item->description(), VeskPreviewContents::Style::FixedPitchText };
}

void VeskDatabaseTableview::updatePreviewWith(const VeskItemRef &item)
{
    if (!m_previewPanel->isVisible())
        return;
    m_previewPanel->hidePanel();
    showPreview(item);
}

void VeskDatabaseTableview::showPreview(const VeskItemRef &item)
{
    m_previewPanel->updateContentsWith(getNSViewWithContentsFor(item));
    m_previewPanel->animateFrom(selectedRowRectOnScreen(), scrollAreaOnScreen(), true);
}

void VeskDatabaseTableview::togglePreview()
{
    if (m_previewPanel->isVisible())
        m_previewPanel->hidePanel();
    else
        showPreview(m_lastitem);
}

QRect VeskDatabaseTableview::selectedRowRectOnScreen() const
{
    const int64_t row = selectedRow();
    QRect rect = row >= 0 ? visualRect(tableModel()->index(int(row), 0)) : QRect();
    rect.setLeft(0);
    rect.setWidth(viewport()->width());
    rect = rect.intersected(viewport()->rect());
    if (rect.isEmpty())
        rect = QRect(viewport()->rect().center(), QSize(1, 1));
    return QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

QRect VeskDatabaseTableview::scrollAreaOnScreen() const
{
    return QRect(mapToGlobal(QPoint(0, 0)), size());
}

void VeskDatabaseTableview::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space && modifiers == Qt::NoModifier) {
        togglePreview();
        return;
    }
    if (event->key() == Qt::Key_Escape && m_previewPanel->isVisible()) {
        m_previewPanel->hidePanel();
        return;
    }
    if (event->matches(QKeySequence::Delete)) {
        Q_EMIT deleteRequested();
        return;
    }
    VeskStoreTableView::keyPressEvent(event);
}

// The rows are read from the selection's ranges, not from one index per cell, so that
// dragging a million selected rows does not build eighteen million indexes.
void VeskDatabaseTableview::startDrag(Qt::DropActions)
{
    QMimeData *mime = tableModel()->mimeDataForRows(selectedRows());
    if (!mime)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(VeskTableModel::videoIcon().pixmap(32, 32));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void VeskDatabaseTableview::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    VeskStoreTableView::selectionChanged(selected, deselected);
    core().tableViewSelectionDidChange(this);
}

void VeskDatabaseTableview::selectionWasReset()
{
    core().tableViewSelectionDidChange(this);
}

void VeskDatabaseTableview::hideEvent(QHideEvent *event)
{
    m_previewPanel->hidePanel();
    VeskStoreTableView::hideEvent(event);
}

void VeskDatabaseTableview::doubleClickDatabase()
{
    const VeskItemRef item = core().ObjectAtIndexFiltered(uint64_t(clickedRow()));
    if (!item)
        return;
    const QString path = item->DB_itemPath();
    if (item->DB_FileExists())
        VeskWorkspace::activateFileViewerSelectingURLs({ path });
    else
        VeskStatusViewController::getTheController()->Status_SetTextWithString(
            tr("%1 cannot be shown in the file manager: the file is missing.").arg(path));
}
