// De-duplication through VeskRBTree: 1,000,000 items keyed by their file UID words 4
// and 5, about 2% of them repeating an earlier item's UID, inserted in list order and
// read back as the distinct elements.

#include "model/VeskDatabaseItem.h"
#include "model/VeskRBTree.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtEndian>

#include <random>
#include <vector>

namespace {

constexpr size_t kItems = 1000000;

VeskItemRef makeItem(uint32_t word4, uint32_t word5)
{
    QByteArray uid(8, 0);
    qToLittleEndian(word4, uid.data());
    qToLittleEndian(word5, uid.data() + 4);
    auto item = std::make_shared<VeskDatabaseItem>();
    item->setFileUIDWithNSData(uid);
    return item;
}

const std::vector<VeskItemRef> &items()
{
    static const std::vector<VeskItemRef> list = [] {
        std::mt19937 random(2024);
        std::vector<std::pair<uint32_t, uint32_t>> uids;
        uids.reserve(kItems);
        std::vector<VeskItemRef> made;
        made.reserve(kItems);
        for (size_t i = 0; i < kItems; ++i) {
            const bool repeat = !uids.empty() && random() % 50 == 0;
            uids.push_back(
                repeat ? uids[random() % uids.size()] : std::pair { uint32_t(random()), uint32_t(random()) });
            made.push_back(makeItem(uids.back().first, uids.back().second));
        }
        return made;
    }();
    return list;
}

void BM_RBTreeInsert1M(benchmark::State &state)
{
    const std::vector<VeskItemRef> &list = items();
    size_t distinct = 0;
    for (auto _ : state) {
        VeskRBTree<VeskDatabaseItem> tree;
        tree.setEQBlock([](const VeskDatabaseItem &a, const VeskDatabaseItem &b) { return a.isEqualByUUID(&b); });
        tree.setLTBlock([](const VeskDatabaseItem &a, const VeskDatabaseItem &b) { return a.isLessByUUID(&b); });
        for (const VeskItemRef &item : list)
            tree.TreeInsertNode(item);
        const auto unique = tree.Tree_v2_GetNonEqDataArray();
        distinct = unique ? unique->size() : 0;
        benchmark::DoNotOptimize(distinct);
    }
    state.counters["distinct"] = double(distinct);
}

} // namespace

BENCHMARK(BM_RBTreeInsert1M)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
