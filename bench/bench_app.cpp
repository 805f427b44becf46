// How long the database window's event loop stalls with a million items: scrolling
// from the top to the end of the table, then sorting by clicked headers.
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_app [items]
#include "AppDelegate.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"

#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "support/SyntheticMedia.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <cstdio>

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
    QElapsedTimer clock;
    clock.start();
    core.AddItemsFromArray(SyntheticMedia::makeItems({ count }));
    core.makeUnique();
    std::printf("made %llu items in %.0f ms\n", (unsigned long long)core.getAllItemsCount(), double(clock.elapsed()));
    clock.restart();
    core.LoadDefaults();
    delegate.AllTablesReload();
    std::printf("default rebuild and reload: %.0f ms (%llu shown)\n", double(clock.elapsed()),
        (unsigned long long)core.getFilteredIndexesCount());
    delegate.Database()->resize(1400, 900);
    delegate.ShowDatabase();
    VeskDatabaseTableview *table = delegate.databaseTable();
    runFor(300);

    // Commands that rebuild the shown list on the main thread.
    delegate.Database()->searchField()->setText(QStringLiteral("interview"));
    clock.restart();
    delegate.updateFilter();
    std::printf(
        "search: %.0f ms (%llu shown)\n", double(clock.elapsed()), (unsigned long long)core.getFilteredIndexesCount());
    delegate.emptySearchField();
    delegate.updateFilter();

    StallMeter meter;
    meter.start();
    QScrollBar *bar = table->verticalScrollBar();
    clock.restart();
    // Drag the scroll bar from the top to the end in 200 steps, one per frame.
    for (int step = 1; step <= 200; ++step) {
        bar->setValue(int(qint64(bar->maximum()) * step / 200));
        runFor(16);
    }
    // The end key moves from the current row; without one it goes to the first.
    table->setCurrentIndex(table->model()->index(table->rowAt(0), 1));
    QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
    runFor(100);
    std::printf("scroll to the end: longest stall %.1f ms (rows %d to %d of %d shown)\n", meter.longestMs(),
        table->rowAt(0), table->rowAt(table->viewport()->height() - 1), table->model()->rowCount());

    for (const char *column : { "FilenameCellID", "FilenameCellID", "SizeCellID", "PathCellID", "ProjectCellID" }) {
        runFor(100);
        meter.start();
        clock.restart();
        clickHeader(table, QLatin1String(column));
        const double clickMs = double(clock.nsecsElapsed()) / 1e6;
        // Meanwhile the user scrolls on.
        while (table->isSorting()) {
            bar->setValue((bar->value() + 37) % bar->maximum());
            runFor(16);
        }
        const double sortMs = double(clock.nsecsElapsed()) / 1e6;
        runFor(100);
        std::printf("sort by %-15s %s: click handled in %.0f ms, sorted in %.0f ms, longest stall %.0f ms\n", column,
            table->sortDescriptors().front().ascending ? "asc " : "desc", clickMs, sortMs, meter.longestMs());
    }
    return 0;
}
