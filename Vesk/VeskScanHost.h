#pragma once

class QWidget;

/// What the scan commands need from the windows: where their sheets and panels go,
/// the busy wheel, the slider, and the tables and counts to refresh when a scan ends.
class VeskScanHost {
public:
    virtual ~VeskScanHost() = default;

    /// The window the volume sheet and the open panels belong to.
    virtual QWidget *dialogParent() const = 0;
    /// Whether a sheet is open on the database window.
    virtual bool databaseShowsSheet() const = 0;
    virtual bool isDatabaseShown() const = 0;
    virtual void hideDatabase() = 0;
    virtual void ShowMainWindow() = 0;
    virtual void bringDatabaseToFront() = 0;
    /// The project summary sheet, without the busy check.
    virtual void openProjectsSummary() = 0;
    virtual void setSliderOn(bool on) = 0;
    /// Turns the big wheel of the status area.
    virtual void setBusyWheel(bool spinning) = 0;
    virtual void selectAllProjects() = 0;
    virtual void showItemsCount() = 0;
    virtual void AllTablesReload() = 0;
    /// The tables reloaded after a rebuild that has brought the project summary too.
    virtual void reloadTables() { AllTablesReload(); }
    virtual void emptySearchField() = 0;
    virtual void clearSortDescriptors() = 0;
};
