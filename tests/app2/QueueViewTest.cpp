#include "AppToolsTestSupport.h"

#include "VeskActionTableCellView.h"
#include "VeskProgressBar.h"
#include "VeskQueueView.h"
#include "VeskWorkspace.h"

#include "actions/VeskActionManager.h"
#include "platform/VeskSettings.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kReallyClear = QStringLiteral("Really clear queue?");

class QueuePanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        VeskSettings::shared().setValue(QStringLiteral("ExtPythonMailer"), QString());
        host = new QWidget(&window);
        host->setLayout(new QVBoxLayout);
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(new QWidget(&window), 1);
        layout->addWidget(host);
        panel = std::make_unique<VeskQueueView>(manager);
        panel->attachTo(host);
        window.resize(900, 600);
        window.show();
    }
    void TearDown() override
    {
        panel.reset();
        VeskSettings::shared().useMemoryStore();
    }

    std::shared_ptr<VeskAction> queueCopy(const QStringList &names)
    {
        std::vector<VeskItemRef> items;
        for (const QString &name : names)
            items.push_back(makeItem(source.write(name, "media")));
        return manager.SetUpNewActionWithOptions(properties(QStringLiteral("Copy"), items, target.path()));
    }
    void existingTarget(const QString &name) { target.write(QStringLiteral("Promo/MXF/") + name, "old"); }
    bool allFinished() const
    {
        for (const auto &action : manager.actions())
            if (!action->Action_Operation()->isFinished())
                return false;
        return true;
    }
    VeskActionTableCellView *row(int n) const { return panel->rowView(n); }
    QStringList words() const
    {
        QStringList shown;
        for (int n = 0; n < panel->rowCount(); ++n)
            shown << row(n)->statusWord();
        return shown;
    }

    TestFiles source;
    TestFiles target;
    ScriptedAlerts alerts;
    QWidget window;
    QWidget *host = nullptr;
    VeskActionManager manager;
    std::unique_ptr<VeskQueueView> panel;
};

} // namespace

TEST_F(QueuePanel, RowsShowWaitingRunningAndDone)
{
    existingTarget(QStringLiteral("a.mxf"));
    QStringList whileAsking;
    bool runningBarDeterminate = false;
    alerts.on(kOverwrite, QStringLiteral("Yes"), [&] {
        whileAsking = words();
        runningBarDeterminate = !row(1)->progressBar()->isIndeterminate() && row(1)->progressBar()->maxValue() == 5;
    });
    queueCopy({ QStringLiteral("1/a.mxf") });
    queueCopy({ QStringLiteral("2/b.mxf"), QStringLiteral("2/c.mxf") });
    ASSERT_EQ(panel->rowCount(), 2);
    EXPECT_EQ(words(), (QStringList { QStringLiteral("Waiting"), QStringLiteral("Waiting") }));
    EXPECT_TRUE(row(0)->description().startsWith(QStringLiteral("Copy 2 items ")));
    ASSERT_TRUE(waitFor([this] { return allFinished(); }));
    QCoreApplication::processEvents();

    EXPECT_EQ(whileAsking, (QStringList { QStringLiteral("Waiting"), QStringLiteral("Running") }));
    EXPECT_TRUE(runningBarDeterminate);
    EXPECT_EQ(words(), (QStringList { QStringLiteral("Done"), QStringLiteral("Done") }));
    EXPECT_TRUE(row(0)->description().startsWith(QStringLiteral("Copy 2 of 2 items ")));
    EXPECT_TRUE(row(0)->description().endsWith(QStringLiteral("\ndestination:\n") + target.path()));
    const VeskProgressBar *bar = row(1)->progressBar();
    EXPECT_TRUE(bar->isIndeterminate());
    EXPECT_FALSE(bar->isAnimating());
    EXPECT_EQ(bar->value(), bar->maximum()) << "an ended action's bar stands full";
}

TEST_F(QueuePanel, CancellingAWaitingRowShowsCancelledThenRemovesIt)
{
    existingTarget(QStringLiteral("a.mxf"));
    QString wordAfterCancel;
    int rowsAfterEnd = -1;
    alerts.on(kOverwrite, QStringLiteral("Yes"), [&] {
        QTest::mouseClick(row(0)->cancelButton(), Qt::LeftButton);
        wordAfterCancel = row(0)->statusWord();
        waitFor([this] { return panel->rowCount() == 1; });
        rowsAfterEnd = panel->rowCount();
    });
    const auto running = queueCopy({ QStringLiteral("1/a.mxf") });
    const auto waiting = queueCopy({ QStringLiteral("2/b.mxf") });
    ASSERT_TRUE(waitFor([this] { return allFinished(); }));
    EXPECT_EQ(wordAfterCancel, QStringLiteral("Cancelled"));
    EXPECT_EQ(rowsAfterEnd, 1);
    EXPECT_TRUE(waiting->Action_Operation()->isCancelled());
    EXPECT_FALSE(QFile::exists(target.path() + QStringLiteral("/Promo/MXF/b.mxf")));
    ASSERT_EQ(manager.actions().size(), 1u);
    EXPECT_EQ(manager.actions().front(), running);
}

TEST_F(QueuePanel, RemovingFinishedRowsStopsTheTimer)
{
    queueCopy({ QStringLiteral("1/a.mxf") });
    ASSERT_TRUE(waitFor([this] { return allFinished(); }));
    EXPECT_TRUE(manager.isTimerActive());
    QTest::mouseClick(row(0)->cancelButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([this] { return panel->rowCount() == 0; }));
    EXPECT_TRUE(manager.actions().empty());
    EXPECT_FALSE(manager.isTimerActive());
    EXPECT_TRUE(QFile::exists(target.path() + QStringLiteral("/Promo/MXF/a.mxf")));

    queueCopy({ QStringLiteral("2/b.mxf") });
    EXPECT_TRUE(manager.isTimerActive());
}

TEST_F(QueuePanel, ClearingAsksFirst)
{
    queueCopy({ QStringLiteral("1/a.mxf") });
    queueCopy({ QStringLiteral("2/b.mxf") });
    ASSERT_TRUE(waitFor([this] { return allFinished(); }));

    alerts.on(kReallyClear, QStringLiteral("Cancel"));
    QTest::mouseClick(panel->clearButton(), Qt::LeftButton);
    EXPECT_EQ(panel->rowCount(), 2);
    EXPECT_EQ(manager.actions().size(), 2u);
    EXPECT_EQ(words(), (QStringList { QStringLiteral("Done"), QStringLiteral("Done") }));

    alerts.on(kReallyClear, QStringLiteral("OK"));
    QTest::mouseClick(panel->clearButton(), Qt::LeftButton);
    EXPECT_EQ(panel->rowCount(), 0);
    EXPECT_TRUE(manager.actions().empty());
    EXPECT_FALSE(manager.isTimerActive());
    EXPECT_EQ(alerts.count(kReallyClear), 2);
}

// Clearing while an action waits for its question: the question is withdrawn and the
// panel empties instead of both waiting for each other.
TEST_F(QueuePanel, ClearingWhileAnActionAsks)
{
    existingTarget(QStringLiteral("a.mxf"));
    alerts.on(kReallyClear, QStringLiteral("OK"));
    alerts.on(kOverwrite, QStringLiteral("Yes"), [&] { panel->ClearQueue(); });
    queueCopy({ QStringLiteral("1/a.mxf") });
    queueCopy({ QStringLiteral("2/b.mxf") });
    ASSERT_TRUE(waitFor([this] { return manager.actionsOpQueue().operationCount() == 0; }));
    EXPECT_EQ(panel->rowCount(), 0);
    EXPECT_EQ(readAll(target.path() + QStringLiteral("/Promo/MXF/a.mxf")), QByteArray("old"));
}

TEST_F(QueuePanel, InfoShowsTheWholeLogWithoutWrapping)
{
    const auto action = queueCopy({ QStringLiteral("1/a.mxf"), QStringLiteral("1/with a rather long name.mxf") });
    ASSERT_TRUE(waitFor([this] { return allFinished(); }));
    QTest::mouseClick(row(0)->infoButton(), Qt::LeftButton);
    ASSERT_TRUE(panel->popover()->isVisible());
    const QString log = action->Action_Operation()->actionLog();
    EXPECT_EQ(panel->popoverText()->toPlainText(), log);
    EXPECT_EQ(panel->popoverText()->lineWrapMode(), QPlainTextEdit::NoWrap);
    int longest = 0;
    for (const QString &line : log.split(QLatin1Char('\n')))
        longest = std::max(longest, panel->popoverText()->fontMetrics().horizontalAdvance(line));
    const int screenWidth = panel->screen()->availableGeometry().width();
    EXPECT_GE(panel->popover()->width(), std::min(longest, screenWidth - 24));
    const QRect button(row(0)->infoButton()->mapToGlobal(QPoint(0, 0)), row(0)->infoButton()->size());
    EXPECT_FALSE(panel->popover()->geometry().intersects(button));
    panel->popover()->hide();
}

TEST_F(QueuePanel, DoubleClickRevealsTheDestination)
{
    QStringList revealed;
    const auto previous = VeskWorkspace::setRevealHandler([&](const QStringList &paths) { revealed += paths; });
    manager.SetUpNewActionWithOptions(properties(QStringLiteral("Delete"), {}));
    EXPECT_EQ(row(0)->description(), QStringLiteral("InvalidAction"));
    queueCopy({ QStringLiteral("1/a.mxf") });
    ASSERT_TRUE(waitFor([this] { return allFinished(); }));

    panel->doubleClickQueue(1);
    panel->doubleClickQueue(2);
    EXPECT_TRUE(revealed.isEmpty());
    QWidget *description = row(0)->findChild<QLabel *>(QStringLiteral("textField"));
    QTest::mouseDClick(description, Qt::LeftButton);
    VeskWorkspace::setRevealHandler(previous);
    EXPECT_EQ(revealed, QStringList { target.path() });
}

TEST_F(QueuePanel, SlidesInWithTheFirstActionAndOutOnToggle)
{
    EXPECT_FALSE(host->isVisible());
    queueCopy({ QStringLiteral("1/a.mxf") });
    EXPECT_FALSE(manager.isHidden());
    ASSERT_TRUE(waitFor([this] { return host->isVisible() && host->maximumWidth() == VeskQueueView::kPanelWidth; }));
    manager.queueToggle();
    EXPECT_TRUE(waitFor([this] { return !host->isVisible(); }));
    EXPECT_TRUE(manager.isHidden());
    EXPECT_TRUE(waitFor([this] { return allFinished(); }));
}
