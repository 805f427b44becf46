#include "readers/PMRFile.h"

#include "support/MediaIndexWriter.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kRecords = 100000;

// A media index like one of a busy media folder: 32-byte UMIDs, clip names of 30 to
// 40 characters as the editing system makes them, a handful of projects. Written once.
const QString &mediaIndexPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const char *projects[] = { "Harbor Lights", "Documentary_2023", "Promo", "Feature Cut 7", "" };
        MediaIndexWriter writer;
        for (int i = 0; i < kRecords; ++i) {
            const QByteArray clip = QByteArrayLiteral("A") + QByteArray::number(i % 997).rightJustified(3, '0') + "C"
                + QByteArray::number(i).rightJustified(6, '0') + "_230414_R1AB.V" + QByteArray::number(i % 8 + 1) + "."
                + QByteArray::number(0x5F3A0000u + i, 16) + ".mxf";
            writer.record(clip, projects[i % 5]);
        }
        const QString file = dir.filePath(QStringLiteral("msmFMID.pmr"));
        writer.writeTo(file);
        return file;
    }();
    return path;
}

void BM_PMRFile_read100k(benchmark::State &state)
{
    const QString path = mediaIndexPath();
    std::vector<VeskItemRef> items;
    items.reserve(kRecords);
    for (auto _ : state) {
        items.clear();
        PMRFile reader;
        reader.dataWithContentsOfURL(path);
        while (VeskItemRef item = reader.FillItem(std::make_shared<VeskDatabaseItem>()))
            items.push_back(std::move(item));
        if (items.size() != kRecords)
            state.SkipWithError("not every record was read");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}

} // namespace

BENCHMARK(BM_PMRFile_read100k)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
