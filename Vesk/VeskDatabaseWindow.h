#pragma once

#include "VeskToolButtonRow.h"

#include <QMainWindow>

class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class VeskAppliedBinsBar;
class VeskCore;
class VeskDatabaseTableview;
class VeskDragDropView;
class VeskStoreTableView;

/// The database window: the search field (Esc empties it) and item
/// count above, the bar naming the
/// bins applied under them, the media table with
/// its one-row summary below it, room at the side for the action queue, and the bin
/// drop zone over all but the top strip.
class VeskDatabaseWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit VeskDatabaseWindow(VeskCore &core, QWidget *parent = nullptr);

    VeskDatabaseTableview *DatabaseTable() const { return m_table; }
    VeskStoreTableView *SummaryTable() const { return m_summary; }
    QLabel *itemsCountText() const { return m_count; }
    QLineEdit *searchField() const { return m_search; }
    VeskAppliedBinsBar *appliedBinsBar() const { return m_binsBar; }
    VeskDragDropView *dropZone() const { return m_dropZone; }
    /// Where the action queue panel goes; empty and hidden until it is given one.
    QWidget *queueHost() const { return m_queueHost; }
    QSplitter *splitter() const { return m_splitter; }
    /// Whether a sheet (a window-modal dialog) is open on this window.
    bool showsSheet() const;
    /// A button for a command from outside, in the top strip after the item count.
    QPushButton *addToolButton(const QString &title) { return m_toolButtons.add(title); }
    /// "1,998 items, 83 missing files hidden", the hidden files a link to the setting.
    void showItemsCount(uint64_t items, uint64_t hiddenMissing);

Q_SIGNALS:
    /// The link of the hidden missing files in the item count.
    void hiddenFilesLinkActivated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makeTopStrip(QWidget *parent);
    QWidget *makeTables(VeskCore &core, QWidget *parent);

    VeskDatabaseTableview *m_table = nullptr;
    VeskStoreTableView *m_summary = nullptr;
    QLabel *m_count = nullptr;
    QLineEdit *m_search = nullptr;
    VeskAppliedBinsBar *m_binsBar = nullptr;
    VeskDragDropView *m_dropZone = nullptr;
    QWidget *m_queueHost = nullptr;
    QSplitter *m_splitter = nullptr;
    VeskToolButtonRow m_toolButtons;
};
