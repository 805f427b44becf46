// A volume of 1,000 media folders with 100 media files each, scanned warm: first the
// floor (walk, list, stat every file, read every index and database whole), then the
// folder scan through the intake and the queue up to the default rebuild, with a main
// thread that serves the scanners' hand-offs as the command line's does.
// Run: build/bench/bench_scan --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The scan through vesk-cli, and a million files: bench/bench_cli_scan.py (see its first lines).
#include "model/VeskCore.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileStat.h"
#include "platform/VeskSettings.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"
#include "support/SyntheticMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFolders = 1000;
constexpr int kFiles = 100;

QString writeVolume(const QString &root)
{
    std::mt19937 random(7);
    uint64_t uid = 1;
    for (int f = 0; f < kFolders; ++f) {
        const QString folder = root + QStringLiteral("/Avid MediaFiles/MXF/%1").arg(f + 1);
        QDir().mkpath(folder);
        MediaIndexWriter index;
        MdbWriter mdb;
        for (int i = 0; i < kFiles; ++i, ++uid) {
            const QString name = SyntheticMedia::clipName(random, uid);
            const QByteArray project = SyntheticMedia::projectName(uint32_t(f % 50)).toLatin1();
            index.record({ name.toLatin1(), project, MediaIndexWriter::makeUID(8, uid, false),
                MediaIndexWriter::makeUID(8, uid, true) });
            MdbMedia media;
            media.fileUID = MediaIndexWriter::makeUID(8, uid, false);
            media.materialUID = MediaIndexWriter::makeUID(8, uid, true);
            media.nameInBin = name.left(20).toLatin1();
            media.project = project;
            media.resolutionID = 1237;
            mdb.media(media);
            QFile file(folder + QLatin1Char('/') + name);
            file.open(QIODevice::WriteOnly);
            file.resize(qint64(10000000 + random() % 1000000000));
        }
        index.writeTo(folder + QStringLiteral("/msmFMID.pmr"));
        mdb.writeTo(folder + QStringLiteral("/msmMMOB.mdb"));
    }
    return root;
}

const QString &volume()
{
    static QTemporaryDir dir;
    static const QString root = writeVolume(dir.path());
    return root;
}

void BM_scanFloor(benchmark::State &state)
{
    const QString root = volume();
    for (auto _ : state) {
        uint64_t bytes = 0;
        VeskDirectory::walk(
            root,
            [&](const QString &path, VeskDirectory::Kind kind) {
                if (kind == VeskDirectory::Kind::Folder)
                    return;
                if (path.endsWith(QLatin1String(".pmr")) || path.endsWith(QLatin1String(".mdb"))) {
                    QFile file(path);
                    file.open(QIODevice::ReadOnly);
                    bytes += uint64_t(file.readAll().size());
                } else if (const auto stat = VeskFileStat::query(path)) {
                    bytes += stat->size & 1;
                }
            },
            [](const QString &) {});
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_scanVolume(benchmark::State &state)
{
    const QString root = volume();
    VeskSettings::shared().useMemoryStore();
    VeskSettings::shared().registerStandardDefaults();
    for (auto _ : state) {
        VeskCore core;
        VeskScanner(core).AddFile(root);
        VeskPMRScannerOperation::opQueue().waitUntilAllOperationsAreFinished();
        core.makeUnique();
        core.LoadDefaults();
        if (core.getAllItemsCount() != uint64_t(kFolders) * kFiles)
            state.SkipWithError("the scan did not find every item");
    }
}

} // namespace

BENCHMARK(BM_scanFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_scanVolume)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
