#include "AppToolsTestSupport.h"

#include "VeskActionTableCellView.h"
#include "VeskQueueView.h"
#include "VeskWorkspace.h"

#include "actions/VeskActionManager.h"
#include "platform/VeskSettings.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
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

    TestFiles source;
    TestFiles target;
    ScriptedAlerts alerts;
    QWidget window;
    QWidget *host = nullptr;
    VeskActionManager manager;
    std::unique_ptr<VeskQueueView> panel;
};

} // namespace

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

// The panel slides in with the first action; its row shows the whole log without
// wrapping and reveals the destination on a double click; clearing asks first; the
// toggle slides it out.
TEST_F(QueuePanel, RowsShowTheLogRevealTheDestinationAndClearAfterAsking)
{
    EXPECT_FALSE(host->isVisible());
    QStringList revealed;
    const auto previous = VeskWorkspace::setRevealHandler([&](const QStringList &paths) { revealed += paths; });
    const auto action = queueCopy({ QStringLiteral("1/a.mxf"), QStringLiteral("1/with a rather long name.mxf") });
    ASSERT_TRUE(waitFor([this] { return host->isVisible() && host->maximumWidth() == VeskQueueView::kPanelWidth; }));
    ASSERT_TRUE(waitFor([this] { return allFinished(); }));
    EXPECT_EQ(row(0)->statusWord(), QStringLiteral("Done"));

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

    panel->doubleClickQueue(1);
    EXPECT_TRUE(revealed.isEmpty());
    QTest::mouseDClick(row(0)->findChild<QLabel *>(QStringLiteral("textField")), Qt::LeftButton);
    VeskWorkspace::setRevealHandler(previous);
    EXPECT_EQ(revealed, QStringList { target.path() });

    alerts.on(kReallyClear, QStringLiteral("Cancel"));
    QTest::mouseClick(panel->clearButton(), Qt::LeftButton);
    EXPECT_EQ(panel->rowCount(), 1);
    alerts.on(kReallyClear, QStringLiteral("OK"));
    QTest::mouseClick(panel->clearButton(), Qt::LeftButton);
    EXPECT_EQ(panel->rowCount(), 0);
    EXPECT_EQ(alerts.count(kReallyClear), 2);
    manager.queueToggle();
    EXPECT_TRUE(waitFor([this] { return !host->isVisible(); }));
    EXPECT_TRUE(manager.isHidden());
}
