// Copy throughput of one 1 GB file on one file system: the copy action's own path
// (target folder, log, GIO copy to a temporary name, rename) against cp(1). Each copy
// starts with the previous one's data written out, so that neither pays for the other.
// The folder is the system's temporary folder, or VESK_BENCH_DIR.

#include "actions/VeskActionOperation.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 kFileSize = qint64(1) << 30;

struct BenchFiles {
    QTemporaryDir dir;
    QString source;
    QString targetFolder;

    BenchFiles()
        : dir(qEnvironmentVariableIsSet("VESK_BENCH_DIR")
                ? qEnvironmentVariable("VESK_BENCH_DIR") + QStringLiteral("/vesk-bench-XXXXXX")
                : QDir::tempPath() + QStringLiteral("/vesk-bench-XXXXXX"))
        , source(dir.filePath(QStringLiteral("source.mxf")))
        , targetFolder(dir.filePath(QStringLiteral("target")))
    {
        // Random bytes: no holes for cp to skip, nothing for a file system to compress.
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly))
            return;
        QByteArray block(8 << 20, Qt::Uninitialized);
        QRandomGenerator random(42);
        for (qint64 written = 0; written < kFileSize; written += block.size()) {
            random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
            file.write(block);
        }
        file.close();
        QDir().mkpath(targetFolder);
        sync();
    }
    QString target() const { return targetFolder + QStringLiteral("/source.mxf"); }
};

BenchFiles &files()
{
    static BenchFiles instance;
    return instance;
}

// Seconds one copy takes, after the last copy was removed and everything written out.
double timedCopy(const std::function<bool()> &copy, benchmark::State &state)
{
    QFile::remove(files().target());
    sync();
    const auto start = std::chrono::steady_clock::now();
    if (!copy())
        state.SkipWithError("the copy failed");
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    return taken.count();
}

bool copyWithAction()
{
    const BenchFiles &bench = files();
    auto item = std::make_shared<VeskDatabaseItem>();
    item->setDB_itemPath(bench.source);
    item->setDB_filesize(uint64_t(kFileSize));
    VeskActionProperties properties;
    properties.items = std::vector<VeskItemRef> { item };
    properties.Destination = bench.targetFolder;
    properties.Create_projects_folders = properties.Create_mxf_folders = false;
    VeskActionOperation operation(properties);
    operation.copyAction();
    return QFileInfo(bench.target()).size() == kFileSize;
}

bool copyWithCp()
{
    const BenchFiles &bench = files();
    const QByteArray command
        = "cp '" + QFile::encodeName(bench.source) + "' '" + QFile::encodeName(bench.target()) + "'";
    return std::system(command.constData()) == 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The two copies take turns, so that a busy moment of the machine falls on both alike;
// the figures are the medians. action_of_cp is the action's throughput over cp's.
void BM_CopyActionVsCp_1GB(benchmark::State &state)
{
    std::vector<double> action, cp;
    for (auto _ : state) {
        action.push_back(timedCopy(copyWithAction, state));
        cp.push_back(timedCopy(copyWithCp, state));
        state.SetIterationTime(action.back());
    }
    const double gigabytes = double(kFileSize) / 1e9;
    state.counters["action_GBps"] = gigabytes / median(action);
    state.counters["cp_GBps"] = gigabytes / median(cp);
    state.counters["action_of_cp"] = median(cp) / median(action);
    state.counters["action_mean_GBps"]
        = gigabytes * double(action.size()) / std::accumulate(action.begin(), action.end(), 0.0);
    state.counters["cp_mean_GBps"] = gigabytes * double(cp.size()) / std::accumulate(cp.begin(), cp.end(), 0.0);
    state.SetBytesProcessed(int64_t(state.iterations()) * kFileSize);
}

} // namespace

BENCHMARK(BM_CopyActionVsCp_1GB)->Unit(benchmark::kMillisecond)->Iterations(7)->UseManualTime();

BENCHMARK_MAIN();
