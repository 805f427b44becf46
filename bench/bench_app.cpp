// How long the database window's event loop stalls with a million items, for every
// action a user takes there: the rebuild after a scan and after a volume scan, typing
// in the search field, a search on Return, scrolling to the end, header clicks while
// scrolling on, a filter check box and a project check box, opening the filter and
// project sheets, a bin dropped and cleared, Reset Filter, the existing-files
// preference and Clear Database. Each line gives the action's time and the longest
// stall.
// Run: QT_QPA_PLATFORM=offscreen build-rel/bench/bench_app [items]
#include "AppDelegate.h"
#include "VeskBusyJob.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"
#include "VeskFilterSheet.h"
#include "VeskPreferencesWindow.h"
#include "VeskScanDriver.h"

#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "support/BinWriter.h"
#include "support/SyntheticMedia.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <thread>

namespace {

// The longest gap between turns of the event loop, seen by a timer that asks to run
// every millisecond.
class StallMeter : public QObject {
public:
    StallMeter()
    {
        connect(&m_tick, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_tick.setTimerType(Qt::PreciseTimer);
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_tick.start(1);
    }
    double longestMs()
    {
        m_tick.stop();
        return double(m_longest) / 1e6;
    }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void runFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void clickHeader(VeskDatabaseTableview *table, const QString &identifier)
{
    QHeaderView *header = table->horizontalHeader();
    const int section = table->tableModel()->columnOf(identifier);
    table->scrollTo(table->model()->index(table->rowAt(0), section));
    const QPoint centre(
        header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

// Runs the action and serves events until it has ended, the user scrolling meanwhile
// when a table is given; prints its time and the longest stall of the event loop.
void measure(const char *name, const std::function<void()> &action, const std::function<bool()> &ended,
    VeskDatabaseTableview *scrolling = nullptr)
{
    runFor(100);
    StallMeter meter;
    QElapsedTimer clock;
    meter.start();
    clock.start();
    action();
    while (!ended()) {
        if (QScrollBar *bar = scrolling ? scrolling->verticalScrollBar() : nullptr)
            bar->setValue((bar->value() + 37) % std::max(1, bar->maximum()));
        runFor(16);
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    runFor(100);
    std::printf("%-40s %7.0f ms, longest stall %5.1f ms\n", name, ms, meter.longestMs());
}

bool idle()
{
    return !VeskBusyJob::shared().isBusy();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const uint64_t count = argc > 1 ? QByteArray(argv[1]).toULongLong() : 1000000;
    VeskSettings::shared().useMemoryStore();
    VeskCore core;
    AppDelegate delegate(core);
    delegate.applicationDidFinishLaunching();
    delegate.Database()->resize(1400, 900);
    delegate.ShowDatabase();
    VeskDatabaseTableview *table = delegate.databaseTable();
    // The end of a scan: the rebuild on the scan's thread, then the tables reloaded; a
    // volume scan first lets the items it replaces go. Scanners make their items on
    // threads of their own, so the main thread's memory is not where the store's lives.
    for (const bool replace : { false, true }) {
        std::vector<VeskItemRef> scanned;
        std::thread([&] { scanned = SyntheticMedia::makeItems({ count }); }).join();
        std::thread rebuild;
        bool rebuilt = false;
        measure(
            replace ? "rebuild after a volume scan replacing them" : "rebuild after a scan",
            [&] {
                rebuild = std::thread([&] {
                    if (replace)
                        core.clearItems();
                    core.addScannedItems(std::exchange(scanned, {}));
                    core.makeUnique();
                    core.LoadDefaults();
                    QMetaObject::invokeMethod(
                        &delegate,
                        [&] {
                            delegate.reloadTables();
                            delegate.clearSortDescriptors();
                            rebuilt = true;
                        },
                        Qt::QueuedConnection);
                });
            },
            [&] { return rebuilt; });
        rebuild.join();
    }
    std::printf("%llu items, %llu shown\n", (unsigned long long)core.getAllItemsCount(),
        (unsigned long long)core.getFilteredIndexesCount());

    QLineEdit *search = delegate.Database()->searchField();
    measure(
        "typing a search, then its result",
        [&] {
            for (const char *text : { "i", "in", "int", "inte", "inter", "interv", "intervi", "interview" }) {
                search->setText(QLatin1String(text));
                runFor(120);
            }
        },
        [&] { return idle() && VeskFilter::sharedFilter().filterString() == search->text(); });
    // Return searches at once: these are the search's own times.
    for (const char *text : { "clip 4", "" })
        measure(
            *text ? "a search on Return" : "emptying the search on Return",
            [&] {
                search->setText(QLatin1String(text));
                QTest::keyClick(search, Qt::Key_Return);
            },
            [&] { return idle() && VeskFilter::sharedFilter().filterString() == QLatin1String(text); });

    QScrollBar *bar = table->verticalScrollBar();
    measure(
        "scrolling to the end",
        [&] {
            // Drag the scroll bar from the top to the end in 200 steps, one per frame.
            for (int step = 1; step <= 200; ++step) {
                bar->setValue(int(qint64(bar->maximum()) * step / 200));
                runFor(16);
            }
            // The end key moves from the current row; without one it goes to the first.
            table->setCurrentIndex(table->model()->index(table->rowAt(0), 1));
            QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
        },
        [] { return true; });

    for (const char *column : { "FilenameCellID", "FilenameCellID", "SizeCellID", "PathCellID", "ProjectCellID",
             "DateCellID", "ClipnameCellID" }) {
        const QByteArray name = QByteArray("sort by ") + column;
        measure(
            name.constData(), [&] { clickHeader(table, QLatin1String(column)); }, idle, table);
    }

    VeskFilterSheet *sheet = delegate.FilterSheet();
    measure(
        "filter sheet opened", [&] { delegate.ShowFilter(); }, idle);
    auto *box = sheet->findChild<QCheckBox *>(QStringLiteral("ShowOnlyImportedMediaCheckbox"));
    measure(
        "filter check box on", [&] { box->click(); }, idle, table);
    measure(
        "filter check box off", [&] { box->click(); }, idle, table);
    QAbstractItemModel *projects = sheet->ProjectFilterTable()->model();
    measure(
        "project check box off", [&] { projects->setData(projects->index(0, 0), Qt::Unchecked, Qt::CheckStateRole); },
        idle, table);
    measure(
        "project check box on", [&] { projects->setData(projects->index(0, 0), Qt::Checked, Qt::CheckStateRole); },
        idle, table);
    sheet->CloseFilter();
    measure(
        "projects summary opened", [&] { delegate.openProjectsSummary(); }, idle);

    // A bin using every fiftieth item's media, dropped to show only what it uses.
    QTemporaryDir folder;
    std::vector<VeskUUID> media;
    for (uint64_t row = 0; row < core.getAllItemsCount(); row += 50)
        media.push_back(*core.ObjectAtIndexFiltered(row)->DB_filePackageUID());
    const QString bin = folder.filePath(QStringLiteral("Bin.avb"));
    BinWriter().clip("A001", media).write(bin);
    measure(
        "bin dropped", [&] { delegate.scanDriver()->DoAVBIntersect({ bin }); }, idle, table);
    measure(
        "Reset Filter with the bin applied", [&] { delegate.ResetFilter(); }, idle, table);
    measure(
        "bins cleared", [&] { delegate.clearBins(); }, idle, table);
    QCheckBox *existing = delegate.Preferences()->PropertiesExistingFiles();
    for (const char *name : { "existing files preference off", "existing files preference on" })
        measure(
            name, [&] { existing->click(); }, idle, table);
    measure(
        "Clear Database", [&] { delegate.ClearDatabase(); }, idle);
    return 0;
}
