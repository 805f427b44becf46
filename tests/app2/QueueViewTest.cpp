#include "AppToolsTestSupport.h"

#include "VeskActionTableCellView.h"
#include "VeskQueueView.h"
#include "VeskWorkspace.h"

#include "actions/VeskActionManager.h"
#include "platform/VeskSettings.h"

#include <QElapsedTimer>
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

// The script runs on the action's worker: until it ends, the action has not ended,
// and clearing the queue waits for it.
TEST_F(QueuePanel, PostActionScriptIsStoppedAtItsLimitOrByClearing)
{
    const QString started = source.path() + QStringLiteral("/started");
    const QString note = QStringLiteral("open(r'%1', 'w').close()\n").arg(started);
    const struct {
        const char *script;
        int limitSeconds;
        bool clear;
    } cases[] = {
        { "while True:\n    pass\n", 1, false },
        { "import time\ntime.sleep(600)\n", 1, false },
        { "import time\ntime.sleep(600)\n", 600, true },
    };
    alerts.on(kReallyClear, QStringLiteral("OK"));
    int copied = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.script);
        QFile::remove(started);
        VeskSettings::shared().setValue(QStringLiteral("ExtPythonMailer"), note + QString::fromLatin1(c.script));
        VeskSettings::shared().setValue(QStringLiteral("ExtPythonMailerTimeLimit"), c.limitSeconds);
        QElapsedTimer timer;
        timer.start();
        queueCopy({ QStringLiteral("1/%1.mxf").arg(++copied) });
        ASSERT_TRUE(waitFor([&] { return QFile::exists(started); }, 10000));
        if (c.clear)
            QTest::mouseClick(panel->clearButton(), Qt::LeftButton);
        ASSERT_TRUE(waitFor([this] { return allFinished(); }, 10000));
        EXPECT_LT(timer.elapsed(), 8000);
        panel->ClearQueue();
    }
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
