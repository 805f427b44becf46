#include "FuzzTarget.h"

#include "base/VeskConsole.h"
#include "readers/VeskMediafile.h"
#include "support/MXFWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    VeskConsole::sharedInstance()->Reset(); // what one input logs is not kept for the next
    VeskMediafile file;
    file.openFile(writeFuzzFile(data, size, "mxf"), nullptr);
    VeskDatabaseItem item;
    file.addInfoToItem(item);
    item.getFileUIDString();
    return 0;
}

std::vector<QByteArray> fuzzSeeds()
{
    return { MXFWriter::opAtomBytes({ QStringLiteral("Interview"), QStringLiteral("Feature"), {}, {} }) };
}
