#include "VeskMenus.h"

#include "VeskMenuCommands.h"
#include "VeskScanDriver.h"

#include "platform/VeskStatusViewController.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>

VeskMenus::VeskMenus(VeskMenuCommands &commands, VeskScanDriver &driver)
    : m_commands(commands)
{
    makeActions(&driver);
    connect(VeskStatusViewController::getTheController(), &VeskStatusViewController::runningChanged, this,
        &VeskMenus::followRunning, Qt::QueuedConnection);
}

QAction *VeskMenus::add(
    const QString &title, const QKeySequence &shortcut, bool blockedWhileRunning, const std::function<void()> &command)
{
    auto *action = new QAction(title, this);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, command);
    if (blockedWhileRunning)
        m_blocked.push_back(action);
    return action;
}

void VeskMenus::makeActions(VeskScanDriver *driver)
{
    m_scanVolumes
        = add(tr("Scan &Volumes…"), QKeySequence(tr("Ctrl+Shift+O")), true, [driver] { driver->pushBigRedButton(); });
    m_scanFolders = add(tr("Scan &Folders…"), QKeySequence::Open, true, [driver] { driver->pushSmallButton(); });
    m_scanAMA = add(tr("Scan &AMA Management Folder"), {}, true, [driver] { driver->scanAMAManagementFolder(); });
    m_clearDatabase = add(tr("&Clear Database"), {}, true, [this] { m_commands.ClearDatabase(); });
    m_preferences = add(tr("&Preferences…"), QKeySequence::Preferences, true, [this] { m_commands.ShowPreferences(); });
    m_quit = add(tr("&Quit"), QKeySequence::Quit, false, [] { QApplication::quit(); });
    // The same words as the drop zone and the bar of applied bins.
    m_intersectBins = add(tr("&Show Only Media Used by Bins…"), {}, true, [driver] { driver->OpenAVB(1); });
    m_subtractBins = add(tr("&Hide Media Used by Bins…"), {}, true, [driver] { driver->OpenAVB(2); });
    m_addBins = add(tr("&Also Show Media Used by Bins…"), {}, true, [driver] { driver->OpenAVB(3); });
    m_amaLinks = add(tr("&Log AMA Links of Bins…"), {}, false, [driver] { driver->parseAmaLinksinBin(); });
    m_filter = add(tr("&Filter…"), QKeySequence(tr("Ctrl+Shift+F")), true, [this] { m_commands.ShowFilter(); });
    m_resetFilter = add(tr("&Reset Filter"), {}, true, [this] { m_commands.ResetFilter(); });
    m_search = add(tr("&Search"), QKeySequence::Find, false, [this] { m_commands.focusSearch(); });
    m_projects = add(
        tr("&Projects Summary"), QKeySequence(tr("Ctrl+Shift+P")), true, [this] { m_commands.ShowProjectsSummary(); });
    m_mainWindow = add(tr("&Main Window"), QKeySequence(tr("Ctrl+1")), false, [this] { m_commands.ShowMainWindow(); });
    m_database = add(tr("&Database"), QKeySequence(tr("Ctrl+2")), true, [this] { m_commands.ShowDatabase(); });
    m_console = add(tr("&Console"), QKeySequence(tr("Ctrl+3")), false, [this] { m_commands.showConsole(); });
    for (QAction *action : applicationWide())
        action->setShortcutContext(Qt::ApplicationShortcut);
    m_about = add(tr("&About Vesk"), {}, false, [] {
        QMessageBox::about(QApplication::activeWindow(), QObject::tr("About Vesk"),
            QObject::tr("Vesk %1\nKeeps the media of Avid systems in order.").arg(QApplication::applicationVersion()));
    });
}

void VeskMenus::install(QMenuBar *bar)
{
    QMenu *file = bar->addMenu(tr("&File"));
    file->addActions({ m_scanVolumes, m_scanFolders, m_scanAMA });
    file->addSeparator();
    file->addAction(m_clearDatabase);
    file->addSeparator();
    file->addAction(m_preferences);
    file->addSeparator();
    file->addAction(m_quit);
    QMenu *bins = bar->addMenu(tr("&Bins"));
    bins->addActions({ m_intersectBins, m_addBins, m_subtractBins });
    bins->addSeparator();
    bins->addAction(m_amaLinks);
    QMenu *view = bar->addMenu(tr("&View"));
    view->addActions({ m_search, m_filter, m_resetFilter, m_projects });
    QMenu *window = bar->addMenu(tr("&Window"));
    window->addActions({ m_mainWindow, m_database, m_console });
}

QMenu *VeskMenus::installHelp(QMenuBar *bar)
{
    QMenu *help = bar->addMenu(tr("&Help"));
    help->addAction(m_about);
    return help;
}

void VeskMenus::followRunning(bool)
{
    const bool running = VeskStatusViewController::getTheController()->isRunning();
    for (QAction *action : m_blocked)
        action->setEnabled(!running);
}
