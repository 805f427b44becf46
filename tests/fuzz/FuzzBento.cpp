#include "FuzzTarget.h"

#include "base/VeskConsole.h"
#include "readers/VeskInspectorRow.h"
#include "readers/VeskMediafile.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"

namespace {

constexpr int kMaxRows = 4000;

// Every row of the outline, breadth first, with its text and description.
void walkOutline(VeskMediafile &file)
{
    std::vector<VeskInspectorRowRef> rows;
    int visited = 0;
    const auto visitChildren = [&](const VeskInspectorRow *parent) {
        const uint32_t count = file.numberOfChildrenOfItem(parent);
        for (uint32_t i = 0; i < count && visited < kMaxRows; ++i, ++visited)
            if (VeskInspectorRowRef row = file.child(i, parent)) {
                file.objectValueFor(row.get());
                file.getNSViewWithContentsFor(row.get());
                if (file.isItemExpandable(row.get()))
                    rows.push_back(std::move(row));
            }
    };
    visitChildren(nullptr);
    for (size_t i = 0; i < rows.size() && visited < kMaxRows; ++i)
        visitChildren(rows[i].get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    VeskConsole::sharedInstance()->Reset(); // what one input logs is not kept for the next
    VeskMediafile file;
    file.openFile(writeFuzzFile(data, size, "mdb"), nullptr);
    for (uint64_t uid = 1; uid <= 2; ++uid) {
        VeskDatabaseItem item;
        item.setFileUIDWithNSData(MediaIndexWriter::makeUID(8, uid, false));
        item.setMaterialUIDWithNSData(MediaIndexWriter::makeUID(8, uid, true));
        file.addInfoToItem(item);
    }
    walkOutline(file);
    return 0;
}

std::vector<QByteArray> fuzzSeeds()
{
    MdbMedia video = MdbMedia::numbered(1, "Interview", "Feature");
    video.resolutionID = 1237;
    MdbMedia audio = video;
    audio.fileUID = MediaIndexWriter::makeUID(8, 2, false);
    audio.fourCC = "_AUD";
    audio.projectLink = MdbMedia::ProjectLink::Reference12;
    return { MdbWriter().media(video).media(audio).bytes(), MdbWriter(true).media(video).bytes() };
}
