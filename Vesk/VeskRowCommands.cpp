#include "VeskRowCommands.h"

#include "VeskAppTools.h"
#include "VeskDatabaseTableview.h"
#include "VeskExternalTools.h"
#include "VeskMediafileViewer.h"
#include "VeskNewActionWindow.h"
#include "VeskToolsHost.h"
#include "VeskWorkspace.h"

#include "model/VeskCore.h"
#include "platform/VeskSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QRadioButton>

VeskRowCommands::VeskRowCommands(VeskToolsHost &host, VeskAppTools &tools)
    : QObject(&tools)
    , m_host(host)
    , m_tools(tools)
{
    VeskDatabaseTableview *table = host.databaseTable();
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint &at) {
        if (table->selectedRows().empty())
            return;
        QMenu *menu = makeMenu(table);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(table->viewport()->mapToGlobal(at));
    });
    connect(table, &VeskDatabaseTableview::deleteRequested, this, &VeskRowCommands::deleteSelection);
}

QMenu *VeskRowCommands::makeMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("RowMenu"));
    menu->addAction(tr("New Action…"), &m_tools, [this] { m_tools.NewAction(); });
    menu->addSeparator();
    const bool files = !existingPaths().isEmpty();
    menu->addAction(tr("Reveal in File Manager"), this, &VeskRowCommands::revealSelection)->setEnabled(files);
    QString application = VeskSettings::shared().stringForKey(QStringLiteral("ExternalAppBundleID"));
    application.remove(QLatin1String(".desktop"));
    menu->addAction(tr("Open With %1").arg(application), &m_tools, &VeskAppTools::OpenInExternalApp)->setEnabled(files);
    menu->addAction(tr("Copy Paths"), this, &VeskRowCommands::copyPaths);
    menu->addSeparator();
    menu->addAction(tr("Inspect"), this, &VeskRowCommands::inspectSelection)->setEnabled(files);
    return menu;
}

QStringList VeskRowCommands::existingPaths() const
{
    return VeskExternalTools::selectedMedia(m_host.vsk(), *m_host.databaseTable());
}

void VeskRowCommands::revealSelection()
{
    VeskWorkspace::activateFileViewerSelectingURLs(existingPaths());
}

void VeskRowCommands::copyPaths()
{
    QStringList paths;
    for (const uint64_t row : m_host.databaseTable()->selectedRows())
        if (const VeskItemRef item = m_host.vsk().ObjectAtIndexFiltered(row))
            paths.push_back(item->DB_itemPath());
    QApplication::clipboard()->setText(paths.join(QLatin1Char('\n')));
}

// The inspector shows one file: the first selected one that exists.
void VeskRowCommands::inspectSelection()
{
    const QStringList paths = existingPaths();
    if (paths.isEmpty())
        return;
    VeskMediafileViewer *viewer = VeskMediafileViewer::sharedInstance();
    viewer->showWindow();
    viewer->openInBackground(paths.first());
}

void VeskRowCommands::deleteSelection()
{
    if (m_host.databaseTable()->selectedRows().empty())
        return;
    if (VeskNewActionWindow *sheet = m_tools.NewAction())
        sheet->RadioDelete()->setChecked(true);
}
