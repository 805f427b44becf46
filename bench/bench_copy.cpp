// Copy throughput of one 1 GB file on one file system: a plain read and write loop
// (the baseline for the cost of hashing), the copy with its inline xxh128, the copy
// read back from the disk, and the copy action's whole path (target folder, log,
// history), against cp(1). Each copy starts with the previous one's data written out,
// so that none pays for another. The folder is the system's temporary folder, or
// VESK_BENCH_DIR.

#include "actions/VeskActionOperation.h"
#include "platform/VeskFileOperations.h"

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
#include <fcntl.h>
#include <functional>
#include <map>
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

// The same buffer size as the copy (256 KB), no hash: what inline hashing is measured
// against.
bool copyPlain()
{
    const BenchFiles &bench = files();
    const int in = open(QFile::encodeName(bench.source).constData(), O_RDONLY | O_CLOEXEC);
    const int out = open(QFile::encodeName(bench.target()).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    std::vector<char> buffer(256 << 10);
    qint64 copied = 0;
    for (ssize_t n; in >= 0 && out >= 0 && (n = read(in, buffer.data(), buffer.size())) > 0; copied += n)
        if (write(out, buffer.data(), size_t(n)) != n)
            break;
    const bool closed = out >= 0 && close(out) == 0;
    if (in >= 0)
        close(in);
    return closed && copied == kFileSize;
}

bool copyFile(bool verify)
{
    const BenchFiles &bench = files();
    VeskFileOperations::Digest digest { verify, {}, false };
    VeskFileOperations::Error error;
    return VeskFileOperations::copyFile(bench.source, bench.target(), {}, false, &error, &digest)
        && digest.verified == verify && !digest.source.isEmpty();
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
    properties.Write_mhl = false;
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

// The copies take turns, so that a busy moment of the machine falls on all alike; the
// figures are the medians. hashing_of_plain is the hashing copy's throughput over the
// plain loop's (at least 0.9 is the aim), *_of_cp a copy's throughput over cp's.
void BM_CopyKindsVsCp_1GB(benchmark::State &state)
{
    const std::vector<std::pair<const char *, std::function<bool()>>> kinds = {
        { "hashing", [] { return copyFile(false); } },
        { "plain", copyPlain },
        { "verified", [] { return copyFile(true); } },
        { "action", copyWithAction },
        { "cp", copyWithCp },
    };
    std::map<std::string, std::vector<double>> times;
    for (auto _ : state) {
        for (const auto &[name, copy] : kinds)
            times[name].push_back(timedCopy(copy, state));
        state.SetIterationTime(times["hashing"].back());
    }
    const double gigabytes = double(kFileSize) / 1e9;
    for (const auto &[name, copy] : kinds)
        state.counters[std::string(name) + "_GBps"] = gigabytes / median(times[name]);
    state.counters["hashing_of_plain"] = median(times["plain"]) / median(times["hashing"]);
    state.counters["hashing_of_cp"] = median(times["cp"]) / median(times["hashing"]);
    state.counters["verified_of_cp"] = median(times["cp"]) / median(times["verified"]);
    state.SetBytesProcessed(int64_t(state.iterations()) * kFileSize);
}

} // namespace

BENCHMARK(BM_CopyKindsVsCp_1GB)->Unit(benchmark::kMillisecond)->Iterations(7)->UseManualTime();

BENCHMARK_MAIN();
