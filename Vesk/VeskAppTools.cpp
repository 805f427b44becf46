#include "VeskAppTools.h"

#include "ExportMenu.h"
#include "VeskBinUsageSheet.h"
#include "VeskBusyJob.h"
#include "VeskDatabaseTableview.h"
#include "VeskDuplicateFinderWindow.h"
#include "VeskExternalTools.h"
#include "VeskMediafileViewer.h"
#include "VeskNewActionWindow.h"
#include "VeskQuarantineWindow.h"
#include "VeskQueueView.h"
#include "VeskQuitGuard.h"
#include "VeskRowCommands.h"
#include "VeskSound.h"
#include "VeskStoreTableView.h"
#include "VeskToolsHost.h"
#include "VeskVerifyFolder.h"
#include "VeskVersionNotice.h"

#include "actions/VeskActionManager.h"
#include "base/VeskMainThread.h"
#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"
#include "report/VeskAlert.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

void popUpUnder(QAbstractButton *button, QMenu *menu)
{
    button->setDown(true);
    menu->exec(button->mapToGlobal(QPoint(0, 23)));
    button->setDown(false);
}

} // namespace

VeskAppTools::VeskAppTools(VeskToolsHost &host)
    : m_host(host)
    , m_actionManager(std::make_unique<VeskActionManager>())
{
    VeskVersionNotice::registerDefaults();
    VeskActionOperation::setFinishSound([] { VeskMainThread::run([] { VeskSound::pop(); }, false); });
    m_queue = new VeskQueueView(*m_actionManager);
    m_queue->attachTo(host.queueHost());
    addButtons();
    new VeskRowCommands(host, *this);
    m_quitGuard = new VeskQuitGuard(
        *m_actionManager, [&host] { host.ShowMainWindow(); }, this);
    connect(host.statusButton(), &QAbstractButton::clicked, this, &VeskAppTools::PushmeButton);
    connect(m_actionManager.get(), &VeskActionManager::actionEnded, this, &VeskAppTools::showActionOutcome);
}

// The rows of moved and deleted files turn missing or go, and the totals follow; while
// a scan runs, its end rebuilds the lists instead.
void VeskAppTools::showActionOutcome(const std::vector<VeskItemRef> &items)
{
    m_host.vsk().updateGoneItems(items);
    if (!VeskBusyJob::shared().othersBusy())
        m_host.databaseTable()->refreshRows(true, tr("Updating"));
}

// The panel goes before the manager, which cancels and waits for what is left; an
// action that ends meanwhile no longer refreshes a table that is going away.
VeskAppTools::~VeskAppTools()
{
    disconnect(m_actionManager.get(), nullptr, this, nullptr);
    delete m_queue;
    VeskActionOperation::setFinishSound({});
}

VeskQueueView *VeskAppTools::queueView() const
{
    return m_queue;
}

void VeskAppTools::installMenus(QMenuBar *bar)
{
    auto *actions = new QMenu(tr("&Actions"), bar);
    actions->addAction(tr("&New Action…"), QKeySequence(tr("Ctrl+N")), this, &VeskAppTools::NewAction);
    actions->addAction(tr("Show or Hide the &Queue"), QKeySequence(tr("Ctrl+Shift+Q")), this, &VeskAppTools::ShowQueue);
    actions->addSeparator();
    actions->addAction(
        tr("Open in &External Application"), QKeySequence(tr("Ctrl+E")), this, &VeskAppTools::OpenInExternalApp);
    actions->addAction(tr("Run the &Selection Script"), this, &VeskAppTools::ExecuteApplescript);
    QMenu *tools = makeToolsMenu(bar);
    tools->setTitle(tr("&Tools"));
    tools->addAction(tr("&Duplicate Finder"), this, &VeskAppTools::openTheDuplicateFinder);
    tools->addAction(
        tr("&Verify Folder…"), this, [this] { VeskVerifyFolder::ask(m_host.databaseWindow(), *m_actionManager); });
    tools->addAction(tr("&Quarantine"), this, &VeskAppTools::openTheQuarantine);
    bar->addMenu(actions);
    bar->addMenu(tools);
}

void VeskAppTools::installHelp(QMenu *help)
{
    help->addAction(tr("Vesk &Website"), this, &VeskAppTools::OpenHelp);
}

QMenu *VeskAppTools::makeToolsMenu(QWidget *parent)
{
    auto *menu = new QMenu(QStringLiteral("Contextual Menu"), parent);
    menu->addAction(QStringLiteral("Show Projects Summary"), this, [this] { m_host.ShowProjectsSummary(); });
    menu->addAction(tr("Bin Usage…"), this, &VeskAppTools::ShowBinUsage);
    auto *exports = new ExportMenu(m_host.databaseTable(), &m_host.vsk(), menu);
    exports->setTitle(QStringLiteral("Export database view"));
    menu->addMenu(exports);
    menu->addSeparator();
    menu->addAction(QStringLiteral("MDB/OMF Inspector"), this, &VeskAppTools::CreateOMFFileInspector);
    return menu;
}

void VeskAppTools::addButtons()
{
    using Row = VeskToolsHost::ButtonRow;
    QPushButton *newAction = m_host.addToolButton(Row::DatabaseTop, tr("New Action…"));
    newAction->setObjectName(QStringLiteral("NewActionButton"));
    connect(newAction, &QAbstractButton::clicked, this, &VeskAppTools::NewAction);
    QPushButton *queue = m_host.addToolButton(Row::DatabaseTop, tr("Queue"));
    queue->setObjectName(QStringLiteral("ShowQueueButton"));
    connect(queue, &QAbstractButton::clicked, this, &VeskAppTools::ShowQueue);
    for (const Row row : { Row::DatabaseTop, Row::MainLower }) {
        QPushButton *tools = m_host.addToolButton(row, tr("Tools"));
        tools->setObjectName(QStringLiteral("ToolsButton"));
        connect(tools, &QAbstractButton::clicked, this, [this, tools] { ToolsButton(tools); });
    }
    QPushButton *exportButton = m_host.addToolButton(Row::ProjectsSummary, tr("Export"));
    exportButton->setObjectName(QStringLiteral("ExportProjectSummaryButton"));
    connect(
        exportButton, &QPushButton::clicked, this, [this, exportButton] { ExportProjectSummaryButton(exportButton); });
}

// While a scan or a sort rebuilds the list, the highlighted rows are about to show
// other items: the sheet would name items the user did not choose.
VeskNewActionWindow *VeskAppTools::NewAction()
{
    if (VeskStatusViewController::getTheController()->isRunning() || m_host.databaseTable()->isSorting()) {
        VeskAlert::ShowDialog_with_Buttons(QStringLiteral("The list is being rebuilt."),
            QStringLiteral("Choose the items again once it is complete."), { QStringLiteral("OK") });
        return nullptr;
    }
    return VeskNewActionWindow::NewAction(m_host.vsk(), m_host.databaseWindow(), *m_actionManager);
}

void VeskAppTools::ShowQueue()
{
    m_actionManager->queueToggle();
}

void VeskAppTools::OpenInExternalApp()
{
    VeskExternalTools::OpenInExternalApp(VeskExternalTools::selectedMedia(m_host.vsk(), *m_host.databaseTable()),
        VeskSettings::shared().stringForKey(QStringLiteral("ExternalAppBundleID")));
}

void VeskAppTools::ExecuteApplescript()
{
    VeskExternalTools::ExecuteApplescript(VeskExternalTools::selectedMedia(m_host.vsk(), *m_host.databaseTable()),
        VeskSettings::shared().stringForKey(QStringLiteral("ExtApplescript")));
}

void VeskAppTools::ToolsButton(QAbstractButton *button)
{
    QMenu *menu = makeToolsMenu(button);
    popUpUnder(button, menu);
    menu->deleteLater();
}

void VeskAppTools::ExportProjectSummaryButton(QAbstractButton *button)
{
    auto *menu = new ExportMenu(m_host.projectsSummaryTable(), &m_host.vsk(), button);
    popUpUnder(button, menu);
    menu->deleteLater();
}

void VeskAppTools::PushmeButton(bool opened)
{
    if (opened)
        VeskVersionNotice::checkVeskVersion([](const QString &notice) {
            VeskStatusViewController::getTheController()->Status_SetTextWithString(notice);
        });
}

void VeskAppTools::OpenHelp()
{
    VeskVersionNotice::openSite();
}

void VeskAppTools::CreateOMFFileInspector()
{
    QMetaObject::invokeMethod(
        this, [] { VeskMediafileViewer::sharedInstance()->showWindow(); }, Qt::QueuedConnection);
}

void VeskAppTools::ShowBinUsage()
{
    if (!m_binUsage)
        m_binUsage = new VeskBinUsageSheet(m_host.vsk(), m_host.databaseWindow());
    m_binUsage->showBinUsage();
}

void VeskAppTools::openTheDuplicateFinder()
{
    QMetaObject::invokeMethod(
        this, [this] { VeskDuplicateFinderWindow::sharedInstance()->showWindow(*m_actionManager); },
        Qt::QueuedConnection);
}

void VeskAppTools::openTheQuarantine()
{
    if (!m_quarantine)
        m_quarantine = new VeskQuarantineWindow(m_host.vsk(), *m_actionManager, m_host.databaseWindow());
    m_quarantine->showWindow();
}
