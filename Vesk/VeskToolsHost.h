#pragma once

class QAbstractButton;
class QPushButton;
class QString;
class QWidget;
class VeskCore;
class VeskDatabaseTableview;
class VeskStoreTableView;

/// What the tools need from the windows: the store and its tables, the window the
/// action sheet belongs to, the place for the queue panel, and rows to put buttons in.
class VeskToolsHost {
public:
    enum class ButtonRow {
        DatabaseTop, ///< beside the search field of the database window
        MainLower, ///< beside the status button of the main window
        ProjectsSummary, ///< under the project summary table
    };

    virtual ~VeskToolsHost() = default;

    virtual VeskCore &vsk() const = 0;
    virtual VeskDatabaseTableview *databaseTable() const = 0;
    virtual VeskStoreTableView *projectsSummaryTable() const = 0;
    virtual QWidget *databaseWindow() const = 0;
    virtual QWidget *queueHost() const = 0;
    /// The button that opens and closes the status area.
    virtual QAbstractButton *statusButton() const = 0;
    virtual QPushButton *addToolButton(ButtonRow row, const QString &title) = 0;
    virtual void ShowMainWindow() = 0;
    virtual void ShowProjectsSummary() = 0;
};
