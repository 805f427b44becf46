// The duplicate finder over a million items, some of them copies of others in other
// folders: grouping alone, and grouping with the JSON Lines vesk-cli duplicates prints.
// The argument is the share of items that are copies, in percent.
// Run: build/bench/bench_duplicates --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "DuplicateRows.h"

#include "model/VeskDuplicates.h"
#include "model/VeskNameTables.h"
#include "support/SyntheticMedia.h"

#include <QFile>
#include <QTextStream>

#include <benchmark/benchmark.h>

namespace {

const std::vector<VeskItemRef> &items(int64_t copiesPercent)
{
    // One set at a time: a million items take a good share of the memory.
    static std::vector<VeskItemRef> generated;
    static int64_t madeWith = -1;
    if (madeWith != copiesPercent) {
        madeWith = copiesPercent;
        generated.clear();
        generated = SyntheticMedia::makeItems({ .duplicateShare = 0 });
        // The last items become copies of the first: same UID and size.
        const size_t copies = generated.size() * size_t(copiesPercent) / 100;
        for (size_t i = 0; i < copies; ++i) {
            VeskDatabaseItem &copy = *generated[generated.size() - 1 - i];
            *copy.DB_filePackageUID() = *generated[i]->DB_filePackageUID();
            copy.setDB_filesize(generated[i]->DB_filesize());
        }
    }
    return generated;
}

void BM_find(benchmark::State &state)
{
    const std::vector<VeskItemRef> &all = items(state.range(0));
    size_t groups = 0;
    for (auto _ : state)
        groups = VeskDuplicates::find(all).size();
    state.counters["groups"] = double(groups);
}

void BM_findAndPrintJson(benchmark::State &state)
{
    const std::vector<VeskItemRef> &all = items(state.range(0));
    const VeskNameTables tables;
    const VeskDuplicates::KeepRule keep { VeskDuplicates::KeepRule::Kind::Oldest, {} };
    QFile sink(QStringLiteral("/dev/null"));
    sink.open(QIODevice::WriteOnly);
    QTextStream out(&sink);
    for (auto _ : state) {
        const std::vector<VeskDuplicates::Group> groups = VeskDuplicates::find(all);
        DuplicateRows(groups, keep, tables, false).writeJsonLines(out);
        out.flush();
    }
}

} // namespace

BENCHMARK(BM_find)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_findAndPrintJson)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_find)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_findAndPrintJson)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
