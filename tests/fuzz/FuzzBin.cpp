#include "FuzzTarget.h"

#include "base/VeskConsole.h"
#include "readers/AVBFile.h"
#include "support/BinWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    VeskConsole::sharedInstance()->Reset(); // what one input logs is not kept for the next
    AVBFile bin;
    if (bin.dataWithBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)))) {
        bin.atomsEndAtEndOfFile();
        bin.probes();
        bin.getAMAUIDS();
    }
    AVBFile::hexlifyRawBytes(data, std::min<size_t>(size, 64));
    return 0;
}

std::vector<QByteArray> fuzzSeeds()
{
    return { BinWriter()
                 .creator("Editor")
                 .clip("Sequence", { BinWriter::avidUID(1, 2), BinWriter::avidUID(3, 4) })
                 .fileAtom(1, 2, "/media/clip.mxf")
                 .windowAtom(0, 1, "Bin window")
                 .bytes() };
}
