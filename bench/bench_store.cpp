// The store's rebuilds over a million generated items.
// Run: build/bench/bench_store --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
#include "base/VeskConsole.h"
#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskSettings.h"
#include "support/SyntheticMedia.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

const std::vector<VeskItemRef> &items()
{
    static const std::vector<VeskItemRef> generated = SyntheticMedia::makeItems({});
    return generated;
}

// One store, scanned and rebuilt once, shared by the benchmarks that only read it.
VeskCore &loadedStore()
{
    static VeskCore *core = [] {
        VeskSettings::shared().useMemoryStore();
        VeskSettings::shared().registerStandardDefaults();
        auto *store = new VeskCore;
        store->AddItemsFromArray(items());
        store->makeUnique();
        store->LoadDefaults();
        return store;
    }();
    return *core;
}

void BM_makeUnique(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        VeskConsole::sharedInstance()->Reset(); // each run logs its duplicates into the same console
        auto core = std::make_unique<VeskCore>();
        core->AddItemsFromArray(items());
        state.ResumeTiming();
        core->makeUnique();
        benchmark::DoNotOptimize(core->getAllItemsCount());
        state.PauseTiming();
        core.reset();
        state.ResumeTiming();
    }
}

void BM_applyFilter(benchmark::State &state)
{
    VeskCore &core = loadedStore();
    VeskFilter::sharedFilter().ResetFilter();
    for (auto _ : state)
        core.applyFilter();
    state.counters["shown"] = double(core.getFilteredIndexesCount());
}

void BM_applyFilterSearch(benchmark::State &state)
{
    VeskCore &core = loadedStore();
    VeskFilter::sharedFilter().setFilterString(QStringLiteral("vie"));
    for (auto _ : state)
        core.applyFilter();
    state.counters["shown"] = double(core.getFilteredIndexesCount());
    VeskFilter::sharedFilter().ResetFilter();
    core.applyFilter();
}

void sortBy(benchmark::State &state, const std::vector<VeskSortDescriptor> &descriptors)
{
    VeskCore &core = loadedStore();
    for (auto _ : state)
        core.sortUsingDescriptors(descriptors);
}

// Every sort key of the database table, one per argument.
const char *const kSortKeys[] = { "filename", "clipname", "project", "filesize", "filedate", "compression", "framerate",
    "samplerate", "bits", "path", "fileUID", "materialUID", "hash" };

void BM_sortUsingDescriptors_column(benchmark::State &state)
{
    const char *key = kSortKeys[state.range(0)];
    state.SetLabel(key);
    sortBy(state, { { QString::fromLatin1(key), true } });
}

void BM_sortUsingDescriptors_threeKeys(benchmark::State &state)
{
    sortBy(state,
        { { QStringLiteral("project"), true }, { QStringLiteral("filesize"), false },
            { QStringLiteral("clipname"), true } });
}

void BM_prepareProjectsSummary(benchmark::State &state)
{
    VeskCore &core = loadedStore();
    for (auto _ : state)
        core.prepareProjectsSummary();
    state.counters["projects"] = double(core.getProjectsCount());
}

// Heap bytes per item of a store holding the generated items after the default
// rebuild: the items, their texts and the store's lists.
void BM_storeMemoryPerItem(benchmark::State &state)
{
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto *core = new VeskCore;
        {
            std::vector<VeskItemRef> fresh = SyntheticMedia::makeItems({});
            core->AddItemsFromArray(fresh);
        }
        core->makeUnique();
        core->LoadDefaults();
        const size_t after = mallinfo2().uordblks;
        state.counters["bytesPerItem"] = double(after - before) / double(core->getAllItemsCount());
        delete core;
    }
}

// One line appended to a console whose text is full, as when a rebuild logs many
// duplicates after a long session.
void BM_consoleLineWhenFull(benchmark::State &state)
{
    VeskConsole &console = *VeskConsole::sharedInstance();
    console.Reset();
    const QString line = QStringLiteral("(makeUnique) (VeskCore.cpp:00000200) :: duplicate %1\n").arg(QString(60, 'x'));
    for (qsizetype length = 0; length < VeskConsole::kMaxLength; length += line.size())
        console.addString(line);
    for (auto _ : state)
        console.addString(line);
    console.Reset();
}

} // namespace

BENCHMARK(BM_consoleLineWhenFull)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_makeUnique)->Unit(benchmark::kMillisecond)->Iterations(3);
// The filter runs on two threads: the CPU time counted is the whole process's.
BENCHMARK(BM_applyFilter)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_applyFilterSearch)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_sortUsingDescriptors_column)
    ->DenseRange(0, int(std::size(kSortKeys)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_sortUsingDescriptors_threeKeys)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_prepareProjectsSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_storeMemoryPerItem)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
