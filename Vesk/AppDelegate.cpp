#include "AppDelegate.h"

#include "VeskAlertDialogs.h"
#include "VeskAppTools.h"
#include "VeskAppliedBinsBar.h"
#include "VeskBusyJob.h"
#include "VeskConsoleWindow.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"
#include "VeskDragDropView.h"
#include "VeskFilterSheet.h"
#include "VeskMainWindow.h"
#include "VeskMenus.h"
#include "VeskPreferencesWindow.h"
#include "VeskProgressWheel.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskScanDriver.h"
#include "VeskStatusView.h"
#include "VeskStoreTableView.h"
#include "VeskWindowPlacement.h"

#include "base/VeskConsole.h"
#include "base/VeskNSLog.h"
#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"
#include "scan/VeskPMRScannerOperation.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QString resourceText(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

AppDelegate::AppDelegate(VeskCore &core)
    : m_core(core)
{
}

// The tools go before the windows that hold their queue panel and buttons.
// Store work still running would outlive the windows it reports to.
AppDelegate::~AppDelegate()
{
    VeskBusyJob::shared().stop();
    m_scanDriver.reset();
    m_tools.reset();
    m_core.setDatabaseTable(nullptr);
    m_core.setDatabaseSummaryTable(nullptr);
}

bool AppDelegate::isRunning()
{
    return VeskStatusViewController::getTheController()->isRunning();
}

VeskDatabaseTableview *AppDelegate::databaseTable() const
{
    return m_database ? m_database->DatabaseTable() : nullptr;
}

void AppDelegate::registerDefaults()
{
    VeskSettings &settings = VeskSettings::shared();
    settings.registerStandardDefaults();
    // The post-action script's default comes with the core's standard defaults.
    const QString basescript = resourceText(QStringLiteral(":/basescript"));
    if (!basescript.isNull())
        settings.registerDefaults({ { QStringLiteral("ExtApplescript"), basescript } });
}

void AppDelegate::applicationDidFinishLaunching()
{
    VeskAlertDialogs::installUncaughtExceptionHandler();
    VeskWindowPlacement::install();
    VeskConsole::sharedInstance()->Reset();
    VeskPMRScannerOperation::opQueue();
    VeskTableModel::setVideoIcon(QIcon(QStringLiteral(":/video-icon.png")));
    registerDefaults();
    makeWindows();
    m_preferences->loadFromSettings();
    m_core.setDatabaseTable(m_database->DatabaseTable());
    m_core.setDatabaseSummaryTable(m_database->SummaryTable());
    m_core.clear();
    m_database->SummaryTable()->reloadData();
    m_window->VersionLabel()->setText(
        QStringLiteral("v%1 build %2").arg(QApplication::applicationVersion(), QStringLiteral(VESK_BUILD)));
    m_window->placeViews(false, false);
    showItemsCount();
}

void AppDelegate::makeWindows()
{
    m_scanDriver = std::make_unique<VeskScanDriver>(m_core, *this);
    m_window = std::make_unique<VeskMainWindow>();
    m_database = std::make_unique<VeskDatabaseWindow>(m_core);
    m_console = std::make_unique<VeskConsoleWindow>();
    m_preferences = std::make_unique<VeskPreferencesWindow>(*this);
    m_filterSheet = new VeskFilterSheet(*this, m_database.get());
    m_projectsSheet = new VeskProjectsSummarySheet(m_core, m_database.get());
    m_database->dropZone()->setAvbOpDelegate(m_scanDriver.get());
    m_menus = std::make_unique<VeskMenus>(*this, *m_scanDriver);
    m_tools = std::make_unique<VeskAppTools>(*this); // the action queue, the tools and export menus, the inspector
    for (QMenuBar *bar : { m_window->menuBar(), m_database->menuBar() }) {
        m_menus->install(bar);
        m_tools->installMenus(bar);
        m_tools->installHelp(m_menus->installHelp(bar));
    }
    // The application-wide commands belong to the windows themselves, not only to the
    // menus, so that their keys reach while no menu bar is shown.
    for (QWidget *window :
        std::initializer_list<QWidget *> { m_window.get(), m_database.get(), m_console.get(), m_preferences.get() })
        window->addActions(m_menus->applicationWide());
    connectCommands();
}

void AppDelegate::connectCommands()
{
    VeskMainWindow *main = m_window.get();
    VeskScanDriver *driver = m_scanDriver.get();
    connect(main->BigRedButton(), &QPushButton::clicked, driver, &VeskScanDriver::pushBigRedButton);
    connect(main->SmallRedButton(), &QPushButton::clicked, driver, &VeskScanDriver::pushSmallButton);
    connect(main->DatabaseButton(), &QPushButton::clicked, this, &AppDelegate::ShowDatabase);
    connect(main->MainSliderButton(), &QPushButton::clicked, this, &AppDelegate::pushSliderButton);
    // The search runs when typing pauses or on Return, not at every key: over a million
    // items one search takes a good part of a second.
    m_searchPause.setSingleShot(true);
    m_searchPause.setInterval(kSearchPauseMs);
    connect(m_database->searchField(), &QLineEdit::textChanged, &m_searchPause, qOverload<>(&QTimer::start));
    connect(m_database->searchField(), &QLineEdit::returnPressed, this, &AppDelegate::updateFilter);
    connect(&m_searchPause, &QTimer::timeout, this, [this] {
        if (VeskBusyJob::shared().othersBusy())
            m_searchPause.start(); // again once the scan has ended
        else
            updateFilter();
    });
    VeskAppliedBinsBar *bar = m_database->appliedBinsBar();
    connect(driver, &VeskScanDriver::binsApplied, bar,
        [bar](int tag, const QStringList &bins) { bar->apply(VeskAvbOpDelegate::BinTag(tag), bins); });
    connect(bar, &VeskAppliedBinsBar::clearRequested, this, &AppDelegate::clearBins);
    connect(databaseTable(), &VeskDatabaseTableview::rowsRefreshed, this, [this] {
        reloadTables();
        showItemsCount();
    });
    connect(m_database.get(), &VeskDatabaseWindow::hiddenFilesLinkActivated, m_preferences.get(),
        &VeskPreferencesWindow::ShowExistingFilesSetting);
    VeskStatusView *statusView = main->SecondaryView();
    connect(statusView, &VeskStatusView::stopRequested, driver, &VeskScanDriver::stopScan);
    connect(driver, &VeskScanDriver::scanRunning, statusView, &VeskStatusView::setScanRunning);
    connect(driver, &VeskScanDriver::scanProgress, statusView, &VeskStatusView::showScanProgress);
    connect(
        VeskStatusViewController::getTheController(), &VeskStatusViewController::runningChanged, main,
        [main] {
            main->BigRedButton()->setEnabled(!isRunning());
            main->SmallRedButton()->setEnabled(!isRunning());
        },
        Qt::QueuedConnection);
}

void AppDelegate::applicationWillTerminate()
{
    VESK_LOG(QStringLiteral("Vesk terminated succesfully"));
}

void AppDelegate::ShowDatabase()
{
    if (isRunning())
        return;
    bringDatabaseToFront();
    databaseTable()->reloadData();
}

void AppDelegate::bringDatabaseToFront()
{
    m_database->show();
    m_database->raise();
    m_database->activateWindow();
}

void AppDelegate::ShowMainWindow()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

// A million items take a while to let go: the store's worker does it.
void AppDelegate::ClearDatabase()
{
    if (isRunning())
        return;
    m_database->appliedBinsBar()->clear();
    VeskConsole::sharedInstance()->Reset();
    databaseTable()->refreshRows(true, tr("Clearing"), [](VeskCore &store) { store.clear(); });
}

void AppDelegate::ShowPreferences()
{
    m_preferences->ShowPreferences();
}

void AppDelegate::ShowFilter()
{
    m_filterSheet->ShowFilter();
}

void AppDelegate::ResetFilter()
{
    m_filterSheet->ResetFilterState();
}

void AppDelegate::focusSearch()
{
    bringDatabaseToFront();
    m_database->searchField()->setFocus(Qt::ShortcutFocusReason);
    m_database->searchField()->selectAll();
}

// The summary is rebuilt from the store's lists, which a scan replaces; it waits until
// the scan has ended.
void AppDelegate::ShowProjectsSummary()
{
    if (isRunning())
        return;
    m_projectsSheet->ShowProjectsSummary();
}

// The search field can only change while no scan rebuilds the lists it filters; the
// scan empties it at its end without running the search. Over a million items the
// search runs on the store's worker, and a later search supersedes it.
void AppDelegate::updateFilter()
{
    if (VeskBusyJob::shared().othersBusy())
        return;
    m_searchPause.stop();
    VeskFilter::sharedFilter().setFilterString(m_database->searchField()->text());
    databaseTable()->refreshRows(true, tr("Searching"));
}

void AppDelegate::pushSliderButton()
{
    m_window->placeViews(m_window->MainSliderButton()->isChecked(), true);
}

void AppDelegate::setSliderOn(bool on)
{
    if (m_window->MainSliderButton()->isChecked() == on)
        return;
    m_window->MainSliderButton()->setChecked(on);
    pushSliderButton();
}

void AppDelegate::showConsole()
{
    m_console->show();
    m_console->raise();
    m_console->activateWindow();
}

void AppDelegate::AllTablesReload()
{
    m_core.prepareProjectsSummary();
    reloadTables();
}

void AppDelegate::reloadTables()
{
    m_filterSheet->showFilterFlags();
    databaseTable()->reloadData();
    m_database->SummaryTable()->reloadData();
    m_projectsSheet->ProjectSumaryTable()->reloadData();
    m_filterSheet->ProjectFilterTable()->reloadData();
}

void AppDelegate::showItemsCount()
{
    m_database->showItemsCount(m_core.getItemsCountUnfiltered(), m_core.hiddenMissingCount());
}

// Called where the lists are rebuilt from their defaults, which drops the bins' result.
void AppDelegate::emptySearchField()
{
    clearSearchField();
    m_database->appliedBinsBar()->clear();
}

void AppDelegate::clearSearchField()
{
    const QSignalBlocker blocker(m_database->searchField());
    m_database->searchField()->clear();
    m_searchPause.stop();
}

// The store's default rebuild sorts every item: it runs on the store's worker.
void AppDelegate::showDefaultLists()
{
    emptySearchField();
    VeskFilter::sharedFilter().ResetFilter();
    m_core.setAllProjectsShown(true);
    databaseTable()->clearSortDescriptors();
    databaseTable()->refreshRows(true, tr("Loading"), [](VeskCore &store) { store.LoadDefaults(); });
}

// The bins' result lives in the items' validity, which only the filter is applied over.
void AppDelegate::showUnfilteredLists()
{
    clearSearchField();
    VeskFilter::sharedFilter().ResetFilter();
    m_core.setAllProjectsShown(true);
    m_database->appliedBinsBar()->filterWasReset();
    databaseTable()->refreshRows(true, tr("Filtering"));
}

// Validity is taken under an empty filter: what the filter hides is hidden at each
// refresh, and would otherwise stay hidden once the filter changes.
void AppDelegate::clearBins()
{
    if (isRunning())
        return;
    m_database->appliedBinsBar()->clear();
    databaseTable()->refreshRows(true, tr("Filtering"), [](VeskCore &store) { store.validateAllItems(VeskFilter()); });
}

QWidget *AppDelegate::dialogParent() const
{
    return m_window.get();
}

bool AppDelegate::databaseShowsSheet() const
{
    return m_database->showsSheet();
}

bool AppDelegate::isDatabaseShown() const
{
    return m_database->isVisible();
}

void AppDelegate::hideDatabase()
{
    m_database->hide();
}

void AppDelegate::openProjectsSummary()
{
    m_projectsSheet->ShowProjectsSummary();
}

void AppDelegate::setBusyWheel(bool spinning)
{
    VeskProgressWheel *wheel = m_window->SecondaryView()->Status_GetBigWheel();
    if (spinning)
        wheel->startAnimation();
    else
        wheel->stopAnimation();
}

void AppDelegate::selectAllProjects()
{
    m_filterSheet->selectAllProjects();
}

void AppDelegate::clearSortDescriptors()
{
    databaseTable()->clearSortDescriptors();
}

VeskStoreTableView *AppDelegate::projectsSummaryTable() const
{
    return m_projectsSheet->ProjectSumaryTable();
}

QWidget *AppDelegate::databaseWindow() const
{
    return m_database.get();
}

QWidget *AppDelegate::queueHost() const
{
    return m_database->queueHost();
}

QAbstractButton *AppDelegate::statusButton() const
{
    return m_window->MainSliderButton();
}

QPushButton *AppDelegate::addToolButton(ButtonRow row, const QString &title)
{
    switch (row) {
    case ButtonRow::DatabaseTop: return m_database->addToolButton(title);
    case ButtonRow::MainLower: return m_window->addToolButton(title);
    case ButtonRow::ProjectsSummary: return m_projectsSheet->addToolButton(title);
    }
    return nullptr;
}
