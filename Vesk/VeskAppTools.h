#pragma once

#include "model/VeskDatabaseItem.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QAbstractButton;
class QMenu;
class QMenuBar;
class QWidget;
class VeskBinUsageSheet;
class VeskActionManager;
class VeskQuarantineWindow;
class VeskQueueView;
class VeskQuitGuard;
class VeskToolsHost;

/// The application's commands that act on files or reach outside the database: the
/// action set-up and queue, the tools and export menus, the external application and
/// the selection script, the inspector, the duplicate finder, the web site and the
/// version notice. Made once at start-up; puts its buttons into the windows' rows and
/// its menus into the menu bars it is given.
class VeskAppTools : public QObject {
    Q_OBJECT
public:
    explicit VeskAppTools(VeskToolsHost &host);
    ~VeskAppTools() override;

    VeskActionManager &ActionManager() const { return *m_actionManager; }
    VeskQueueView *queueView() const;
    VeskQuitGuard *quitGuard() const { return m_quitGuard; }

    // Commands.
    /// The action sheet over the selected rows; none while the list is rebuilt.
    class VeskNewActionWindow *NewAction();
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
    /// Opens the bin usage sheet on the database window for the bins dropped so far.
    void ShowBinUsage();
    /// The quarantine sets of the scanned volumes, made on first use.
    void openTheQuarantine();

    /// "Show Projects Summary", "Bin Usage…", "Export database view", "MDB/OMF Inspector".
    QMenu *makeToolsMenu(QWidget *parent);
    /// Adds the Actions and Tools menus at the end of the bar.
    void installMenus(QMenuBar *bar);
    /// Adds the tools' entries to a Help menu.
    void installHelp(QMenu *help);

private:
    void addButtons();
    void showActionOutcome(const std::vector<VeskItemRef> &items);

    VeskToolsHost &m_host;
    std::unique_ptr<VeskActionManager> m_actionManager;
    QPointer<VeskQueueView> m_queue;
    QPointer<VeskQuarantineWindow> m_quarantine;
    VeskQuitGuard *m_quitGuard = nullptr;
    QPointer<VeskBinUsageSheet> m_binUsage;
};
