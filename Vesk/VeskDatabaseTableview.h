#pragma once

#include "VeskStoreTableView.h"

#include "model/VeskSorter.h"
#include "readers/VeskPreviewContents.h"

#include <QMenu>

#include <optional>

class VeskMediafileViewerPreviewPanel;

/// The database table: header clicks sort the store by up to three columns, the
/// header's menu shows and hides columns and remembers the choice in the settings,
/// rows drag out as files, a double click reveals the file, the space key opens the
/// floating preview of the selected item, which then follows the selection, and the
/// Delete key asks for the rows to be deleted.
class VeskDatabaseTableview : public VeskStoreTableView {
    Q_OBJECT
public:
    static constexpr int kMaxSortDescriptors = 3;

    explicit VeskDatabaseTableview(VeskCore &core, QWidget *parent = nullptr);
    ~VeskDatabaseTableview() override;

    // Column menu.
    void setupHeaderMenu();
    void toggleColumn(QAction *item);
    void menuWillOpen();
    QMenu *headerMenu() const { return m_headerMenu; }

    // Sorting.
    const std::vector<VeskSortDescriptor> &sortDescriptors() const { return m_sortDescriptors; }
    /// Whether the store sorts for a header click now.
    bool isSorting() const;
    /// After a rebuild put the store back into its default order.
    void clearSortDescriptors();
    /// Brings the store's order and shown rows to the sort keys and the filter as they
    /// are now, on the store's worker, with the project numbers when `recount` is set.
    /// A later call supersedes one still running. A `change` to the store runs first on
    /// the worker; nothing supersedes it.
    void refreshRows(bool recount, const QString &statusText, std::function<void(VeskCore &)> change = {});

    // Preview.
    VeskItemRef lastitem() const { return m_lastitem; }
    void setLastitem(const VeskItemRef &item) override { m_lastitem = item; }
    void updatePreviewWith(const VeskItemRef &item) override;
    static std::optional<VeskPreviewContents> getNSViewWithContentsFor(const VeskItemRef &item);
    VeskMediafileViewerPreviewPanel *previewPanel() const { return m_previewPanel; }

    /// Reveals the file of the clicked row in the file manager, or says in the status
    /// line why it cannot.
    void doubleClickDatabase();

Q_SIGNALS:
    /// The Delete key was pressed over the rows.
    void deleteRequested();
    /// A sort started by a header click has ended and the rows are reloaded.
    void sortFinished();
    /// A refresh has put its rows in place (and the project numbers when recounted).
    void rowsRefreshed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void selectionWasReset() override;
    void hideEvent(QHideEvent *event) override;

private:
    void sortIndicatorDidChange(int section, Qt::SortOrder order);
    void showPreview(const VeskItemRef &item);
    void togglePreview();
    QRect selectedRowRectOnScreen() const;
    QRect scrollAreaOnScreen() const;

    QMenu *m_headerMenu = nullptr;
    std::vector<VeskSortDescriptor> m_sortDescriptors;
    int m_sortSection = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    VeskItemRef m_lastitem;
    VeskMediafileViewerPreviewPanel *m_previewPanel;
    std::vector<VeskSortDescriptor> m_appliedDescriptors; // the order the store has
};
