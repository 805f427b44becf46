#include "FuzzTarget.h"

#include "base/VeskConsole.h"
#include "readers/PMRFile.h"
#include "support/MediaIndexWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    VeskConsole::sharedInstance()->Reset(); // what one input logs is not kept for the next
    PMRFile index;
    index.setData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    while (VeskItemRef item = index.FillItem(std::make_shared<VeskDatabaseItem>()))
        item->getFileUIDString();
    return 0;
}

std::vector<QByteArray> fuzzSeeds()
{
    return { MediaIndexWriter().record("A001C003.mxf", "Feature").record("b.wav", "").bytes(),
        MediaIndexWriter().bigEndian().uidWords(2).record("clip.mxf", "P").bytes() };
}
