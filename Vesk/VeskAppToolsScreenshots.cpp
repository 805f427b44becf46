#include "VeskAppToolsScreenshots.h"

#include "AppDelegate.h"
#include "VeskAppTools.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"
#include "VeskDuplicateFinderWindow.h"
#include "VeskMediafileViewer.h"
#include "VeskMediafileViewerOutlineView.h"
#include "VeskNewActionWindow.h"

#include "actions/VeskActionManager.h"
#include "model/VeskCore.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kSettleMs = 600;

// The smallest shown items, so that copying them takes no time and little room.
std::vector<VeskItemRef> smallestItems(const VeskCore &core, size_t count)
{
    std::vector<VeskItemRef> items;
    for (uint64_t row = 0; row < core.getFilteredIndexesCount(); ++row)
        if (const VeskItemRef item = core.ObjectAtIndexFiltered(row); item->DB_FileExists())
            items.push_back(item);
    std::sort(items.begin(), items.end(),
        [](const auto &a, const auto &b) { return a->DB_filesize().value_or(0) < b->DB_filesize().value_or(0); });
    items.resize(std::min(items.size(), count));
    return items;
}

// The first entry under the top row that has entries of its own, opened, and its
// first entry; the top row's first entry when none has.
QModelIndex firstNestedEntry(QTreeView &outline)
{
    const QAbstractItemModel &model = *outline.model();
    const QModelIndex top = model.index(0, 0);
    for (int row = 0; row < model.rowCount(top); ++row) {
        const QModelIndex entry = model.index(row, 0, top);
        if (model.hasChildren(entry)) {
            outline.expand(entry);
            return model.index(0, 0, entry);
        }
    }
    return model.index(0, 0, top);
}

VeskActionProperties copyInto(const QString &folder, std::vector<VeskItemRef> items)
{
    QDir().mkpath(folder);
    VeskActionProperties properties;
    properties.items = std::move(items);
    properties.Destination = folder;
    properties.Create_projects_folders = false;
    properties.Create_mxf_folders = false;
    properties.Im_sure = true;
    return properties;
}

} // namespace

void VeskAppToolsScreenshots::run(AppDelegate &app, const QString &folder, std::function<void()> done)
{
    (new VeskAppToolsScreenshots(app, folder, std::move(done)))->start();
}

VeskAppToolsScreenshots::VeskAppToolsScreenshots(AppDelegate &app, QString folder, std::function<void()> done)
    : QObject(&app)
    , m_app(app)
    , m_tools(app.tools())
    , m_folder(std::move(folder))
    , m_done(std::move(done))
{
}

void VeskAppToolsScreenshots::start()
{
    if (!m_tools || m_app.vsk().getFilteredIndexesCount() < 5) {
        finish();
        return;
    }
    showSheet();
}

void VeskAppToolsScreenshots::showSheet()
{
    m_app.bringDatabaseToFront();
    m_app.databaseTable()->clearSelection();
    for (int row = 0; row < 5; ++row) // more than the sheet names
        m_app.databaseTable()->selectionModel()->select(
            m_app.databaseTable()->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_tools->NewAction();
    auto *sheet = m_app.Database()->findChild<VeskNewActionWindow *>();
    sheet->RadioMove()->click();
    sheet->destinationText()->setText(QDir::homePath());
    sheet->DestinationEditingEnd();
    QTimer::singleShot(kSettleMs, this, [this, sheet] {
        saveScreen(QStringLiteral("action-sheet.png"));
        sheet->RadioDelete()->click();
        QTimer::singleShot(kSettleMs, this, [this, sheet] {
            saveScreen(QStringLiteral("action-sheet-delete.png"));
            sheet->PushCancel();
            QTimer::singleShot(kSettleMs, this, &VeskAppToolsScreenshots::queueActions);
        });
    });
}

// The second action stops at its second item, whose target exists, and asks: it
// stays "Running" with its first item copied while the picture is taken.
void VeskAppToolsScreenshots::queueActions()
{
    const std::vector<VeskItemRef> items = smallestItems(m_app.vsk(), 5);
    VeskActionManager &manager = m_tools->ActionManager();
    manager.SetUpNewActionWithOptions(copyInto(m_targets.filePath(QStringLiteral("Finished")), { items[0], items[1] }));
    const QString running = m_targets.filePath(QStringLiteral("Running"));
    QDir().mkpath(running);
    QFile existing(QDir(running).filePath(QFileInfo(items[3]->DB_itemPath()).fileName()));
    if (!existing.open(QIODevice::WriteOnly)) {
        finish();
        return;
    }
    existing.close();
    manager.SetUpNewActionWithOptions(copyInto(running, { items[2], items[3], items[4] }));
    when([] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()) != nullptr; },
        [this] {
            QTimer::singleShot(kSettleMs, this, [this] {
                m_app.Database()->grab().save(QDir(m_folder).filePath(QStringLiteral("queue-panel.png")));
                if (QWidget *question = QApplication::activeModalWidget())
                    question->close();
                inspectDatabase();
            });
        });
}

void VeskAppToolsScreenshots::inspectDatabase()
{
    const QString mdb
        = QFileInfo(m_app.vsk().ObjectAtIndexFiltered(0)->DB_itemPath()).dir().filePath(QStringLiteral("msmMMOB.mdb"));
    VeskMediafileViewer *viewer = VeskMediafileViewer::sharedInstance();
    viewer->showWindow();
    connect(viewer, &VeskMediafileViewer::fileOpened, this, [this, viewer] {
        VeskMediafileViewerOutlineView *outline = viewer->mainView();
        outline->setFocus();
        outline->setCurrentIndex(firstNestedEntry(*outline));
        QTimer::singleShot(kSettleMs, this, [this, outline] {
            saveScreen(QStringLiteral("inspector.png"));
            QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QApplication::sendEvent(outline, &space);
            QTimer::singleShot(kSettleMs, this, [this] {
                saveScreen(QStringLiteral("inspector-preview.png"));
                findDuplicates();
            });
        });
    });
    viewer->openInBackground(mdb);
}

// The finder with the extra copies selected under its first rule, the oldest copy kept.
void VeskAppToolsScreenshots::findDuplicates()
{
    m_tools->openTheDuplicateFinder();
    VeskDuplicateFinderWindow *finder = VeskDuplicateFinderWindow::sharedInstance();
    when([finder] { return finder->isVisible(); },
        [this, finder] {
            finder->selectExtraCopies();
            QTimer::singleShot(kSettleMs, this, [this, finder] {
                finder->grab().save(QDir(m_folder).filePath(QStringLiteral("duplicate-finder.png")));
                finish();
            });
        });
}

void VeskAppToolsScreenshots::finish()
{
    m_done();
    deleteLater();
}

void VeskAppToolsScreenshots::when(std::function<bool()> condition, std::function<void()> step)
{
    if (condition()) {
        step();
        return;
    }
    QTimer::singleShot(100, this, [this, condition, step] { when(condition, step); });
}

void VeskAppToolsScreenshots::saveScreen(const QString &name) const
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(QDir(m_folder).filePath(name));
}
