#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class VeskMenuCommands;
class VeskScanDriver;

/// The commands of the menu bar, made once and shown in the menu bars of both main
/// windows. Commands that a scan blocks are greyed out while it runs.
class VeskMenus : public QObject {
    Q_OBJECT
public:
    VeskMenus(VeskMenuCommands &commands, VeskScanDriver &driver);

    /// Builds the menus up to the Window menu into a window's menu bar.
    void install(QMenuBar *bar);
    /// Adds the Help menu, which comes last, and returns it.
    QMenu *installHelp(QMenuBar *bar);

    QAction *scanVolumes() const { return m_scanVolumes; }
    QAction *scanFolders() const { return m_scanFolders; }
    /// The commands that reach from any window: the Window menu, Search and Quit.
    QList<QAction *> applicationWide() const { return { m_mainWindow, m_database, m_console, m_search, m_quit }; }

private:
    QAction *add(const QString &title, const QKeySequence &shortcut, bool blockedWhileRunning,
        const std::function<void()> &command);
    void makeActions(VeskScanDriver *driver);
    void followRunning(bool running);

    VeskMenuCommands &m_commands;
    QList<QAction *> m_blocked;
    QAction *m_scanVolumes = nullptr;
    QAction *m_scanFolders = nullptr;
    QAction *m_scanAMA = nullptr;
    QAction *m_clearDatabase = nullptr;
    QAction *m_preferences = nullptr;
    QAction *m_quit = nullptr;
    QAction *m_intersectBins = nullptr;
    QAction *m_addBins = nullptr;
    QAction *m_subtractBins = nullptr;
    QAction *m_amaLinks = nullptr;
    QAction *m_filter = nullptr;
    QAction *m_resetFilter = nullptr;
    QAction *m_search = nullptr;
    QAction *m_projects = nullptr;
    QAction *m_mainWindow = nullptr;
    QAction *m_database = nullptr;
    QAction *m_console = nullptr;
    QAction *m_about = nullptr;
};
