#pragma once

#include "VeskListsHost.h"
#include "VeskMenuCommands.h"
#include "VeskScanHost.h"
#include "VeskToolsHost.h"

#include <QObject>
#include <QTimer>

#include <memory>

class VeskAppTools;
class VeskConsoleWindow;
class VeskCore;
class VeskDatabaseTableview;
class VeskDatabaseWindow;
class VeskFilterSheet;
class VeskMainWindow;
class VeskMenus;
class VeskPreferencesWindow;
class VeskProjectsSummarySheet;
class VeskScanDriver;

/// The application: starts up, owns the windows and carries the window commands.
/// Commands marked "blocked while running" do nothing while a scan runs. The scan
/// driver, the menus and the tools reach the windows only through it.
class AppDelegate : public QObject,
                    public VeskScanHost,
                    public VeskMenuCommands,
                    public VeskToolsHost,
                    public VeskListsHost {
    Q_OBJECT
public:
    /// How long typing pauses before the search field filters.
    static constexpr int kSearchPauseMs = 300;

    explicit AppDelegate(VeskCore &core);
    ~AppDelegate() override;

    /// The start sequence: settings defaults, windows, store hook-up; the main window
    /// is shown afterwards by the caller.
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    /// The busy flag of the status controller: a scan runs.
    static bool isRunning();

    VeskCore &vsk() const override { return m_core; }
    VeskMainWindow *window() const { return m_window.get(); }
    VeskDatabaseWindow *Database() const { return m_database.get(); }
    VeskDatabaseTableview *databaseTable() const override;
    VeskFilterSheet *FilterSheet() const { return m_filterSheet; }
    VeskProjectsSummarySheet *ProjectsSummaryWindow() const { return m_projectsSheet; }
    VeskPreferencesWindow *Preferences() const { return m_preferences.get(); }
    VeskConsoleWindow *consoleWindow() const { return m_console.get(); }
    VeskScanDriver *scanDriver() const { return m_scanDriver.get(); }
    VeskMenus *menus() const { return m_menus.get(); }
    VeskAppTools *tools() const { return m_tools.get(); }

    // Window commands.
    void ShowDatabase() override;
    void ShowMainWindow() override;
    void ClearDatabase() override;
    void ShowPreferences() override;
    void ShowFilter() override;
    void ResetFilter() override;
    void focusSearch() override;
    void ShowProjectsSummary() override;
    void updateFilter();
    void pushSliderButton();
    void showConsole() override;

    /// Sets the filter sheet's check boxes and reloads the database, summary and
    /// project tables, with a fresh project summary.
    void AllTablesReload() override;
    /// The same without the project summary, which a refresh of the rows brings.
    void reloadTables() override;

    // Steps the commands and scans share.
    void showItemsCount() override;
    void emptySearchField() override;
    void showDefaultLists() override;
    void showUnfilteredLists() override;
    /// Shows the list without the bins applied, keeping the filter and the search.
    void clearBins();
    void setSliderOn(bool on) override;
    /// Shows the database window in front without the busy check.
    void bringDatabaseToFront() override;

    // What the scan driver and the tools need besides.
    QWidget *dialogParent() const override;
    bool databaseShowsSheet() const override;
    bool isDatabaseShown() const override;
    void hideDatabase() override;
    void openProjectsSummary() override;
    void setBusyWheel(bool spinning) override;
    void selectAllProjects() override;
    void clearSortDescriptors() override;
    VeskStoreTableView *projectsSummaryTable() const override;
    QWidget *databaseWindow() const override;
    QWidget *queueHost() const override;
    QAbstractButton *statusButton() const override;
    QPushButton *addToolButton(ButtonRow row, const QString &title) override;

private:
    void makeWindows();
    void connectCommands();
    void clearSearchField();
    static void registerDefaults();

    VeskCore &m_core;
    std::unique_ptr<VeskScanDriver> m_scanDriver;
    std::unique_ptr<VeskMainWindow> m_window;
    std::unique_ptr<VeskDatabaseWindow> m_database;
    std::unique_ptr<VeskPreferencesWindow> m_preferences;
    std::unique_ptr<VeskConsoleWindow> m_console;
    VeskFilterSheet *m_filterSheet = nullptr;
    VeskProjectsSummarySheet *m_projectsSheet = nullptr;
    QTimer m_searchPause;
    std::unique_ptr<VeskMenus> m_menus;
    std::unique_ptr<VeskAppTools> m_tools;
};
