#include "VeskAppTools.h"

#include "AppDelegate.h"
#include "ExportMenu.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"
#include "VeskDuplicateFinderWindow.h"
#include "VeskExternalTools.h"
#include "VeskMainWindow.h"
#include "VeskMediafileViewer.h"
#include "VeskNewActionWindow.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskQueueView.h"
#include "VeskQuitGuard.h"
#include "VeskSound.h"
#include "VeskStoreTableView.h"
#include "VeskVersionNotice.h"

#include "actions/VeskActionManager.h"
#include "base/VeskMainThread.h"
#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"
#include "report/VeskAlert.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

// A menu of the bar by its title, "&" marks left out; null when there is none.
QAction *menuTitled(QMenuBar *bar, const QString &title)
{
    for (QAction *action : bar->actions())
        if (action->menu() && action->text().remove(QLatin1Char('&')) == title)
            return action;
    return nullptr;
}

void popUpUnder(QAbstractButton *button, QMenu *menu)
{
    button->setDown(true);
    menu->exec(button->mapToGlobal(QPoint(0, 23)));
    button->setDown(false);
}

} // namespace

VeskAppTools::VeskAppTools(AppDelegate &app)
    : QObject(&app)
    , m_app(app)
    , m_actionManager(std::make_unique<VeskActionManager>())
{
    VeskVersionNotice::registerDefaults();
    VeskActionOperation::setFinishSound([] { VeskMainThread::run([] { VeskSound::pop(); }, false); });
    m_queue = new VeskQueueView(*m_actionManager);
    m_queue->attachTo(app.Database()->queueHost());
    installMenus(app.window()->menuBar());
    installMenus(app.Database()->menuBar());
    addButtons();
    m_quitGuard = new VeskQuitGuard(
        *m_actionManager, [&app] { app.ShowMainWindow(); }, this);
    connect(app.window()->MainSliderButton(), &QPushButton::clicked, this, &VeskAppTools::PushmeButton);
}

// The panel goes before the manager, which cancels and waits for what is left.
VeskAppTools::~VeskAppTools()
{
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
    QAction *help = menuTitled(bar, QStringLiteral("Help"));
    bar->insertMenu(help, actions);
    bar->insertMenu(help, tools);
    if (help)
        help->menu()->addAction(tr("Vesk &Website"), this, &VeskAppTools::OpenHelp);
}

QMenu *VeskAppTools::makeToolsMenu(QWidget *parent)
{
    auto *menu = new QMenu(QStringLiteral("Contextual Menu"), parent);
    menu->addAction(QStringLiteral("Show Projects Summary"), &m_app, &AppDelegate::ShowProjectsSummary);
    auto *exports = new ExportMenu(m_app.databaseTable(), &m_app.vsk(), menu);
    exports->setTitle(QStringLiteral("Export database view"));
    menu->addMenu(exports);
    menu->addSeparator();
    menu->addAction(QStringLiteral("MDB/OMF Inspector"), this, &VeskAppTools::CreateOMFFileInspector);
    return menu;
}

QAbstractButton *VeskAppTools::addButton(QWidget *besides, int position, const QString &title, const QString &name)
{
    auto *layout = qobject_cast<QBoxLayout *>(besides->parentWidget()->layout());
    auto *button = new QPushButton(title, besides->parentWidget());
    button->setObjectName(name);
    button->setAutoDefault(false);
    if (layout)
        layout->insertWidget(position, button);
    return button;
}

void VeskAppTools::addButtons()
{
    QWidget *search = m_app.Database()->searchField();
    QAbstractButton *newAction = addButton(search, 1, tr("New Action…"), QStringLiteral("NewActionButton"));
    connect(newAction, &QAbstractButton::clicked, this, &VeskAppTools::NewAction);
    QAbstractButton *queue = addButton(search, 2, tr("Queue"), QStringLiteral("ShowQueueButton"));
    connect(queue, &QAbstractButton::clicked, this, &VeskAppTools::ShowQueue);
    QAbstractButton *tools = addButton(search, 3, tr("Tools"), QStringLiteral("ToolsButton"));
    connect(tools, &QAbstractButton::clicked, this, [this, tools] { ToolsButton(tools); });
    QAbstractButton *mainTools
        = addButton(m_app.window()->MainSliderButton(), 2, tr("Tools"), QStringLiteral("ToolsButton"));
    connect(mainTools, &QAbstractButton::clicked, this, [this, mainTools] { ToolsButton(mainTools); });

    auto *exportButton = new QPushButton(tr("Export"), m_app.ProjectsSummaryWindow());
    exportButton->setObjectName(QStringLiteral("ExportProjectSummaryButton"));
    exportButton->setAutoDefault(false);
    m_app.ProjectsSummaryWindow()->buttonRow()->insertWidget(0, exportButton);
    connect(
        exportButton, &QPushButton::clicked, this, [this, exportButton] { ExportProjectSummaryButton(exportButton); });
}

// While a scan or a sort rebuilds the list, the highlighted rows are about to show
// other items: the sheet would name items the user did not choose.
void VeskAppTools::NewAction()
{
    if (AppDelegate::isRunning() || m_app.databaseTable()->isSorting()) {
        VeskAlert::ShowDialog_with_Buttons(QStringLiteral("The list is being rebuilt."),
            QStringLiteral("Choose the items again once it is complete."), { QStringLiteral("OK") });
        return;
    }
    VeskNewActionWindow::NewAction(m_app.vsk(), m_app.Database(), *m_actionManager);
}

void VeskAppTools::ShowQueue()
{
    m_actionManager->queueToggle();
}

void VeskAppTools::OpenInExternalApp()
{
    VeskExternalTools::OpenInExternalApp(VeskExternalTools::selectedMedia(m_app.vsk(), *m_app.databaseTable()),
        VeskSettings::shared().stringForKey(QStringLiteral("ExternalAppBundleID")));
}

void VeskAppTools::ExecuteApplescript()
{
    VeskExternalTools::ExecuteApplescript(VeskExternalTools::selectedMedia(m_app.vsk(), *m_app.databaseTable()),
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
    auto *menu = new ExportMenu(m_app.ProjectsSummaryWindow()->ProjectSumaryTable(), &m_app.vsk(), button);
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

void VeskAppTools::openTheDuplicateFinder()
{
    QMetaObject::invokeMethod(
        this, [] { VeskDuplicateFinderWindow::sharedInstance()->showWindow(); }, Qt::QueuedConnection);
}
