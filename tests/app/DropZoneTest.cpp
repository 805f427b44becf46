#include "VeskAvbOpDelegate.h"
#include "VeskDragDropView.h"
#include "VeskSound.h"

#include "platform/VeskStatusViewController.h"
#include "report/VeskAlert.h"
#include "support/BinWriter.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

struct RecordingDelegate : VeskAvbOpDelegate {
    void DoAVBIntersect(const QStringList &bins) override { calls.push_back({ QStringLiteral("intersect"), bins }); }
    void DoAVBSubtract(const QStringList &bins) override { calls.push_back({ QStringLiteral("subtract"), bins }); }
    void DoAVBAdd(const QStringList &bins) override { calls.push_back({ QStringLiteral("add"), bins }); }
    std::vector<std::pair<QString, QStringList>> calls;
};

} // namespace

class DropZone : public ::testing::Test {
protected:
    void SetUp() override
    {
        area.resize(600, 400);
        zone = new VeskDragDropView(&area, 40);
        zone->setAvbOpDelegate(&delegate);
        const QByteArray bin = BinWriter().clip("A001", { BinWriter::avidUID(1, 2) }).bytes();
        binA = files.write(QStringLiteral("Bins/One.avb"), bin);
        binB = files.write(QStringLiteral("Bins/Two.AVB"), bin);
        text = files.write(QStringLiteral("notes.txt"), "text");
    }

    QMimeData *urls(const QStringList &paths)
    {
        auto *mime = new QMimeData;
        QList<QUrl> list;
        for (const QString &path : paths)
            list.push_back(QUrl::fromLocalFile(path));
        mime->setUrls(list);
        mimes.emplace_back(mime);
        return mime;
    }

    /// A drag entering the area, then a move or a drop at the same place (the widgets
    /// only get moves and drops after an enter they accepted); whether that was taken.
    template <typename Event>
    bool drag(const QStringList &paths, Qt::KeyboardModifiers keys = {}, QPoint at = { 300, 200 },
        Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
    {
        QDragEnterEvent enter(at, offered, urls(paths), Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&area, &enter);
        Event event(at, offered, urls(paths), Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&area, &event);
        return event.isAccepted();
    }

    TestFiles files;
    QWidget area;
    VeskDragDropView *zone = nullptr;
    RecordingDelegate delegate;
    std::vector<std::unique_ptr<QMimeData>> mimes;
    QString binA, binB, text;
};

// Bins that cannot be used, or a drop while Vesk is busy, are refused with an alert
// once the drop has ended.
TEST_F(DropZone, RefusesAnythingButSoundBinsWhenIdle)
{
    QStringList alerts;
    const VeskAlert::Handler previous = VeskAlert::setHandler([&](const VeskAlert::Request &request) {
        alerts.push_back(request.informativeText);
        return int(VeskAlert::First);
    });
    const int pops = VeskSound::popCount();
    EXPECT_FALSE(drag<QDropEvent>({ binA, text }));
    EXPECT_FALSE(drag<QDropEvent>({ files.path() + QStringLiteral("/Bins") }));
    const QString folderNamedLikeABin = files.path() + QStringLiteral("/Old.avb");
    QDir().mkpath(folderNamedLikeABin);
    EXPECT_FALSE(drag<QDropEvent>({ folderNamedLikeABin }));
    const QString cut = files.write(QStringLiteral("Bins/Cut.avb"), BinWriter().clip("A", {}).bytes().chopped(1));
    EXPECT_FALSE(drag<QDropEvent>({ binA, cut }, Qt::ControlModifier));
    EXPECT_FALSE(drag<QDropEvent>({ files.write(QStringLiteral("Bins/Text.avb"), "bin") }));
    VeskStatusViewController::getTheController()->setIsRunning(true);
    EXPECT_FALSE(drag<QDropEvent>({ binA }));
    VeskStatusViewController::getTheController()->setIsRunning(false);
    EXPECT_TRUE(delegate.calls.empty());
    EXPECT_EQ(VeskSound::popCount(), pops + 6);
    EXPECT_FALSE(zone->isHighlighted());
    EXPECT_TRUE(alerts.isEmpty());
    QCoreApplication::processEvents();
    ASSERT_EQ(alerts.size(), 3);
    EXPECT_TRUE(alerts[0].startsWith("damaged bin: " + cut) && alerts[1].startsWith("not a bin: ")
        && alerts[2].contains("busy"));
    VeskAlert::setHandler(previous);
}

// A plain drop intersects with all bins and modifier keys choose add and subtract; the
// overlay shows the operation while bins hover and follows the area.
TEST_F(DropZone, KeysChooseTheOperationTheOverlayShowsAndTheDropDoes)
{
    EXPECT_TRUE(drag<QDropEvent>({ binA, binB }));
    EXPECT_FALSE(zone->isHighlighted());
    EXPECT_TRUE(drag<QDropEvent>({ binA }, Qt::ShiftModifier));
    EXPECT_TRUE(drag<QDropEvent>({ binA }, Qt::ControlModifier));
    // A drag that offers no copy adds without keys.
    EXPECT_TRUE(drag<QDropEvent>({ binA }, {}, { 300, 200 }, Qt::MoveAction));
    const std::vector<std::pair<QString, QStringList>> expected { { QStringLiteral("intersect"), { binA, binB } },
        { QStringLiteral("add"), { binA } }, { QStringLiteral("subtract"), { binA } },
        { QStringLiteral("add"), { binA } } };
    EXPECT_EQ(delegate.calls, expected);

    // While bins hover, the overlay shows the operation the keys choose.
    EXPECT_TRUE(drag<QDragMoveEvent>({ binA }));
    EXPECT_TRUE(zone->isHighlighted());
    EXPECT_EQ(VeskDragDropView::operationLabel(zone->currentDragMask()), QStringLiteral("show only media used by"));
    drag<QDragMoveEvent>({ binA }, Qt::ControlModifier);
    EXPECT_EQ(VeskDragDropView::operationLabel(zone->currentDragMask()), QStringLiteral("hide media used by"));
    EXPECT_FALSE(zone->grab().isNull());
    // Over the strip above the zone the drag is not taken.
    EXPECT_FALSE(drag<QDragMoveEvent>({ binA }, {}, { 300, 10 }));
    EXPECT_FALSE(zone->isHighlighted());
    drag<QDragMoveEvent>({ binA });
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&area, &leave);
    EXPECT_FALSE(zone->isHighlighted());
    EXPECT_EQ(zone->currentDragMask(), Qt::DropActions());
    area.show();
    area.resize(800, 500);
    EXPECT_EQ(zone->geometry(), QRect(0, 40, 800, 460)); // the zone follows its area
}
