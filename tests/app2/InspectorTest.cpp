#include "AppToolsTestSupport.h"

#include "VeskMediafileOutlineModel.h"
#include "VeskMediafileViewer.h"
#include "VeskMediafileViewerOutlineView.h"
#include "VeskMediafileViewerPreviewPanel.h"
#include "VeskProgressWheel.h"

#include "platform/VeskStatusViewController.h"
#include "readers/VeskMediafile.h"
#include "support/MdbWriter.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

namespace {

class Inspector : public ::testing::Test {
protected:
    void SetUp() override
    {
        status()->setIsRunning(false);
        previousChooser = VeskMediafileViewer::setFileChooser([this](QWidget *) {
            ++choices;
            return chosen;
        });
        viewer = std::make_unique<VeskMediafileViewer>();
        viewer->show();
    }
    void TearDown() override
    {
        viewer.reset();
        VeskMediafileViewer::setFileChooser(previousChooser);
        status()->setIsRunning(false);
    }
    static VeskStatusViewController *status() { return VeskStatusViewController::getTheController(); }
    QString mdb()
    {
        MdbWriter writer;
        for (uint64_t n = 1; n <= 3; ++n)
            writer.media(MdbMedia::numbered(n, "Clip " + QByteArray::number(n), "Promo"));
        return files.write(QStringLiteral("msmMMOB.mdb"), writer.bytes());
    }
    /// Opens through the Open button and waits for the outline.
    bool openWithButton(const QString &path)
    {
        chosen = path;
        QSignalSpy opened(viewer.get(), &VeskMediafileViewer::fileOpened);
        viewer->PushOpenButton();
        return opened.wait(15000) && opened.constFirst().constFirst().toBool();
    }
    QAbstractItemModel *outline() const { return viewer->mainView()->model(); }
    QString text(const QModelIndex &index) const { return index.data().toString(); }
    void pressSpace() const { QTest::keyClick(viewer->mainView(), Qt::Key_Space, Qt::NoModifier); }

    TestFiles files;
    QString chosen;
    int choices = 0;
    VeskMediafileViewer::FileChooser previousChooser;
    std::unique_ptr<VeskMediafileViewer> viewer;
};

} // namespace

// A busy application opens nothing. The outline opens in the background while the
// application is busy; the model keeps its contract (the tester walks every place the
// outline shows the front end's one row object per entry, checking its parent there). Space toggles the
// preview of the selected entry, which hides with the window; a file without an outline
// shows the placeholder.
TEST_F(Inspector, OpensAnMdbInTheBackgroundWithEveryPlaceHavingItsParent)
{
    status()->setIsRunning(true);
    viewer->PushOpenButton();
    EXPECT_EQ(choices, 0);
    EXPECT_FALSE(viewer->openInBackground(mdb()));
    EXPECT_FALSE(viewer->isOpening());
    EXPECT_EQ(text(outline()->index(0, 0)), QStringLiteral("No File Loaded"));
    status()->setIsRunning(false);
    chosen = mdb();
    QSignalSpy opened(viewer.get(), &VeskMediafileViewer::fileOpened);
    viewer->PushOpenButton();
    EXPECT_TRUE(status()->isRunning());
    EXPECT_TRUE(viewer->isOpening());
    ASSERT_TRUE(opened.wait(15000));
    EXPECT_TRUE(opened.constFirst().constFirst().toBool());
    EXPECT_FALSE(status()->isRunning());
    EXPECT_FALSE(viewer->ProgressIndicator()->isAnimating());

    QAbstractItemModelTester tester(outline(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(outline()->rowCount(), 1);
    const QModelIndex top = outline()->index(0, 0);
    EXPECT_EQ(text(top), QStringLiteral("[ ID=0x1] CM_StdObjID_TOC"));
    EXPECT_TRUE(viewer->mainView()->isExpanded(top));
    const auto *model = static_cast<VeskMediafileOutlineModel *>(outline());
    EXPECT_EQ(uint32_t(outline()->rowCount(top)), viewer->mediafile()->numberOfChildrenOfItem(model->rowAt(top)));

    VeskMediafileViewerPreviewPanel *panel = viewer->mainView()->previewPanel();
    viewer->mainView()->setCurrentIndex(outline()->index(0, 0, top));
    pressSpace();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->contents().style, VeskPreviewContents::Style::FixedPitchText);
    EXPECT_TRUE(panel->contents().text.startsWith(QStringLiteral("OMFI:Object TOCIndex [ ")));
    const QString first = panel->contents().text;
    viewer->mainView()->setCurrentIndex(outline()->index(1, 0, top));
    EXPECT_NE(panel->contents().text, first);
    pressSpace();
    EXPECT_FALSE(panel->isVisible());
    pressSpace();
    EXPECT_TRUE(panel->isVisible());
    viewer->hide();
    EXPECT_FALSE(panel->isVisible());

    EXPECT_FALSE(openWithButton(files.write(QStringLiteral("notes.txt"), "text")));
    EXPECT_EQ(text(outline()->index(0, 0)), QStringLiteral("No File Loaded"));
    openWithButton(files.write(QStringLiteral("clip.mxf"), QByteArray(2048, '\x01')));
    EXPECT_EQ(text(outline()->index(0, 0)), QStringLiteral("No File Loaded"));
}
