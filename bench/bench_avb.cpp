#include "readers/AVBFile.h"

#include "support/BinWriter.h"

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kBinSize = 64 << 20;

struct LargeBin {
    QByteArray bytes;
    size_t references = 0;
};

// A bin like a big project's master bin: clips of about a kilobyte (name, attributes,
// one video and two audio tracks), each track referencing a media file, so about one
// reference every 350 bytes. Written once.
const LargeBin &largeBin()
{
    static const LargeBin bin = [] {
        BinWriter writer;
        writer.creator("Editor 2023.12");
        LargeBin result;
        for (uint32_t clip = 0; writer.size() < kBinSize; ++clip) {
            const QByteArray name = "A" + QByteArray::number(clip % 997).rightJustified(3, '0') + "C"
                + QByteArray::number(clip).rightJustified(6, '0') + "_230414_R1AB";
            writer.clip(name,
                { BinWriter::avidUID(0x5F3A0000u + clip, 0x060A2B34), BinWriter::avidUID(0x6F3A0000u + clip, clip),
                    BinWriter::avidUID(0x7F3A0000u + clip, clip) },
                960);
            result.references += 3;
        }
        result.bytes = writer.bytes();
        return result;
    }();
    return bin;
}

void BM_AVBFile_getUIDS_64MB(benchmark::State &state)
{
    const LargeBin &bin = largeBin();
    AVBFile reader;
    if (!reader.dataWithBytes(bin.bytes)) {
        state.SkipWithError("the generated file is not a bin");
        return;
    }
    for (auto _ : state) {
        const std::vector<AVBFileUID> uids = reader.getUIDS();
        if (uids.size() != bin.references)
            state.SkipWithError("not every reference was found");
        benchmark::DoNotOptimize(uids.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bin.bytes.size());
    state.counters["references"] = double(bin.references);
}

} // namespace

BENCHMARK(BM_AVBFile_getUIDS_64MB)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
