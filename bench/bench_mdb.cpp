#include "readers/VeskOMFI.h"

#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// 25,000 media files, each with a composition mob and a source mob: 50,000 mobs.
constexpr int kMedia = 25000;
constexpr int kMobs = 2 * kMedia;

MdbMedia mediaNumber(int i)
{
    const char *projects[] = { "Harbor Lights", "Documentary_2023", "Promo", "Feature Cut 7" };
    MdbMedia m;
    m.fileUID = MediaIndexWriter::makeUID(8, uint64_t(i) + 1, false);
    m.materialUID = MediaIndexWriter::makeUID(8, uint64_t(i) + 1, true);
    m.nameInBin = "A" + QByteArray::number(i % 997).rightJustified(3, '0') + "C" + QByteArray::number(i)
        + "_230414_R1AB.new.01";
    m.project = projects[i % 4];
    m.usageCode = 0;
    if (i % 5 == 4) {
        m.fourCC = "_AUD";
        m.sampleRateNumerator = 48000;
        m.bits = 24;
    } else {
        m.resolutionID = 1238;
        m.frameRateNumerator = 25;
        m.bits = 8;
    }
    // A share of the media takes its project from the source it was captured from.
    if (i % 10 == 3)
        m.projectLink = MdbMedia::ProjectLink::Reference32;
    return m;
}

// A media database like that of a busy media folder, written once.
const QString &mdbPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        MdbWriter writer;
        for (int i = 0; i < kMedia; ++i)
            writer.media(mediaNumber(i));
        const QString file = dir.filePath(QStringLiteral("msmMMOB.mdb"));
        writer.writeTo(file);
        return file;
    }();
    return path;
}

void BM_openMDB_50kMobs(benchmark::State &state)
{
    const QString path = mdbPath();
    uint64_t entries = 0;
    uint64_t objects = 0;
    for (auto _ : state) {
        VeskOMFI reader;
        if (!reader.openFile(path, nullptr) || reader.getMDBCompositionsCount() != kMedia)
            state.SkipWithError("the database did not open whole");
        entries = reader.TOCItemsCount();
        objects = reader.BentoObjectsCount();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kMobs);
    state.counters["tocEntries"] = double(entries);
    state.counters["objects"] = double(objects);
    state.counters["fileMB"] = double(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_openMDB_50kMobs)->Unit(benchmark::kMillisecond);

// Enriching every item of the folder from the opened database, as a scan does.
void BM_addInfoToItem_25kItems(benchmark::State &state)
{
    VeskOMFI reader;
    reader.openFile(mdbPath(), nullptr);
    std::vector<std::unique_ptr<VeskDatabaseItem>> items;
    for (int i = 0; i < kMedia; ++i) {
        const MdbMedia m = mediaNumber(i);
        items.push_back(std::make_unique<VeskDatabaseItem>());
        items.back()->setFileUIDWithNSData(m.fileUID);
        items.back()->setMaterialUIDWithNSData(m.materialUID);
    }
    for (auto _ : state) {
        for (const auto &item : items)
            reader.addInfoToItem(*item);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kMedia);
}
BENCHMARK(BM_addInfoToItem_25kItems)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
