#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class AppDelegate;
class QAbstractButton;
class QMenu;
class QMenuBar;
class QWidget;
class VeskActionManager;
class VeskQueueView;
class VeskQuitGuard;

/// The application's commands that act on files or reach outside the database: the
/// action set-up and queue, the tools and export menus, the external application and
/// the selection script, the inspector, the duplicate finder, the web site and the
/// version notice. Made once at start-up; puts its menus and buttons into the windows.
class VeskAppTools : public QObject {
    Q_OBJECT
public:
    explicit VeskAppTools(AppDelegate &app);
    ~VeskAppTools() override;

    VeskActionManager &ActionManager() const { return *m_actionManager; }
    VeskQueueView *queueView() const;
    VeskQuitGuard *quitGuard() const { return m_quitGuard; }

    // Commands.
    void NewAction();
    void ShowQueue();
    void OpenInExternalApp();
    void ExecuteApplescript();
    void ToolsButton(QAbstractButton *button);
    void ExportProjectSummaryButton(QAbstractButton *button);
    /// The status area was opened by the user: the version notice goes to the status line.
    void PushmeButton(bool opened);
    void OpenHelp();
    void CreateOMFFileInspector();
    void openTheDuplicateFinder();

    /// "Show Projects Summary", "Export database view", "MDB/OMF Inspector".
    QMenu *makeToolsMenu(QWidget *parent);

private:
    void installMenus(QMenuBar *bar);
    void addButtons();
    QAbstractButton *addButton(QWidget *besides, int position, const QString &title, const QString &name);

    AppDelegate &m_app;
    std::unique_ptr<VeskActionManager> m_actionManager;
    QPointer<VeskQueueView> m_queue;
    VeskQuitGuard *m_quitGuard = nullptr;
};
