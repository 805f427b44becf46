#include "VeskDuplicateFinderWindow.h"

VeskDuplicateFinderWindow *VeskDuplicateFinderWindow::sharedInstance()
{
    static auto *instance = new VeskDuplicateFinderWindow;
    return instance;
}

VeskDuplicateFinderWindow::VeskDuplicateFinderWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("VeskDuplicateFinder"));
    setWindowTitle(tr("Duplicate Finder"));
    resize(640, 420);
}

void VeskDuplicateFinderWindow::showWindow()
{
    show();
    raise();
    activateWindow();
}
