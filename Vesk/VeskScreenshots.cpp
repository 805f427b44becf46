#include "VeskScreenshots.h"

#include "AppDelegate.h"
#include "VeskAppTools.h"
#include "VeskAppToolsScreenshots.h"
#include "VeskAppliedBinsBar.h"
#include "VeskBinUsageSheet.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"
#include "VeskFilterSheet.h"
#include "VeskMainWindow.h"
#include "VeskProgressWheel.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskScanDriver.h"
#include "VeskStatusView.h"

#include "model/VeskCore.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int kPollMs = 20;
constexpr int kSettleMs = 600;

// The bins of the volume that holds the first shown item.
QStringList volumeBins(const VeskCore &core)
{
    const QString item = core.ObjectAtIndexFiltered(0)->DB_itemPath();
    const QDir folder(item.section(QStringLiteral("/Avid MediaFiles/"), 0, 0) + QStringLiteral("/Bins"));
    QStringList bins;
    for (const QString &name : folder.entryList({ QStringLiteral("*.avb") }, QDir::Files, QDir::Name))
        bins.push_back(folder.filePath(name));
    return bins;
}

} // namespace

void VeskScreenshots::startIfAsked(AppDelegate &app)
{
    const QString folder = qEnvironmentVariable("VESK_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    new VeskScreenshots(app, folder);
}

VeskScreenshots::VeskScreenshots(AppDelegate &app, QString folder)
    : QObject(&app)
    , m_app(app)
    , m_folder(std::move(folder))
{
    connect(&m_poll, &QTimer::timeout, this, &VeskScreenshots::watchScan);
    m_poll.start(kPollMs);
    connect(app.scanDriver(), &VeskScanDriver::scanFinished, this, &VeskScreenshots::afterScan);
}

// The main window is taken once the status area has slid in and scanners are at work.
void VeskScreenshots::watchScan()
{
    if (m_scanSaved || !AppDelegate::isRunning())
        return;
    VeskStatusView *statusView = m_app.window()->SecondaryView();
    bool spinning = false;
    for (int i = 0; i < 16; ++i)
        spinning = spinning || statusView->smallWheel(i)->isAnimating();
    const bool slidIn = statusView->pos().y() == m_app.window()->viewOrigins(true).y();
    if (!slidIn || !spinning || statusView->scanProgressText()->text().isEmpty())
        return;
    save(m_app.window(), QStringLiteral("main-window-scan.png"));
    m_scanSaved = true;
    m_poll.stop();
}

void VeskScreenshots::afterScan()
{
    m_poll.stop();
    VeskDatabaseTableview *table = m_app.databaseTable();
    runSteps({
        { kSettleMs, [this] { save(m_app.window(), QStringLiteral("main-window.png")); } },
        { 0, [this] { m_app.ShowProjectsSummary(); } },
        { kSettleMs, [this] { saveScreen(QStringLiteral("project-summary.png")); } },
        { 0, [this] { m_app.ProjectsSummaryWindow()->CloseProjectsSummary(); } },
        { kSettleMs, [this] { save(m_app.Database(), QStringLiteral("database-window.png")); } },
        { 0,
            [table] {
                table->setFocus();
                table->selectRow(2);
                QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
                QApplication::sendEvent(table, &space);
            } },
        { kSettleMs, [this] { saveScreen(QStringLiteral("database-preview.png")); } },
        { 0, [this] { m_app.ShowFilter(); } },
        { kSettleMs, [this] { saveScreen(QStringLiteral("filter-sheet.png")); } },
        { 0, [this] { m_app.FilterSheet()->CloseFilter(); } },
        { 0, [this] { m_app.scanDriver()->DoAVBAdd(volumeBins(m_app.vsk())); } },
        { kSettleMs, [this] { m_app.tools()->ShowBinUsage(); } },
        { kSettleMs, [this] { saveScreen(QStringLiteral("bin-usage.png")); } },
        { 0, [this] { m_app.Database()->findChild<VeskBinUsageSheet *>()->accept(); } },
        { 0, [this] { m_app.scanDriver()->DoAVBSubtract(volumeBins(m_app.vsk())); } },
        { kSettleMs, [this] { save(m_app.Database(), QStringLiteral("applied-bins.png")); } },
        { 0,
            [table] {
                table->selectRow(3);
                Q_EMIT table->customContextMenuRequested(table->visualRect(table->model()->index(3, 2)).center());
            } },
        { kSettleMs, [this] { saveScreen(QStringLiteral("row-menu.png")); } },
        { 0,
            [this] {
                if (QWidget *menu = QApplication::activePopupWidget())
                    menu->close();
                m_app.Database()->appliedBinsBar()->clearButton()->click();
            } },
        { kSettleMs, [this] { VeskAppToolsScreenshots::run(m_app, m_folder, [] { QApplication::quit(); }); } },
    });
}

void VeskScreenshots::runSteps(std::vector<std::pair<int, std::function<void()>>> steps)
{
    if (steps.empty())
        return;
    auto [pause, step] = steps.front();
    steps.erase(steps.begin());
    QTimer::singleShot(pause, this, [this, step, steps] {
        step();
        runSteps(steps);
    });
}

void VeskScreenshots::save(QWidget *window, const QString &name) const
{
    window->grab().save(QDir(m_folder).filePath(name));
}

void VeskScreenshots::saveScreen(const QString &name) const
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(QDir(m_folder).filePath(name));
}
