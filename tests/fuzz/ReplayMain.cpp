// Runs a fuzz target without libFuzzer: over its seeds and every prefix of each seed,
// then over the files given. With --write-corpus DIR it writes the seeds as a corpus.
#include "FuzzTarget.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

void runOne(const QByteArray &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<QByteArray> seeds = fuzzSeeds();
    if (argc == 3 && std::strcmp(argv[1], "--write-corpus") == 0) {
        QDir().mkpath(QString::fromLocal8Bit(argv[2]));
        for (size_t i = 0; i < seeds.size(); ++i) {
            QFile file(QStringLiteral("%1/seed-%2").arg(QString::fromLocal8Bit(argv[2])).arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write(seeds[i]) != seeds[i].size())
                return 1;
        }
        return 0;
    }
    size_t runs = 0;
    for (const QByteArray &seed : seeds) {
        // Every prefix of small seeds; a spread of them for large ones.
        const qsizetype step = std::max<qsizetype>(1, seed.size() / 512);
        for (qsizetype length = 0; length <= seed.size(); length += step, ++runs)
            runOne(seed.left(length));
    }
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (file.open(QIODevice::ReadOnly)) {
            runOne(file.readAll());
            ++runs;
        }
    }
    std::printf("%zu inputs replayed\n", runs);
    return 0;
}
