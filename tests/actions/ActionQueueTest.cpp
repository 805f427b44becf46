#include "ActionTestSupport.h"

#include "actions/VeskActionCellView.h"
#include "actions/VeskActionQueueTable.h"
#include "actions/VeskPythonScript.h"
#include "platform/VeskSettings.h"
#include "report/VeskFileSize.h"

#include "support/WaitFor.h"

#include <QCoreApplication>

#include <deque>

namespace {

class FakeCell : public VeskActionCellView, public VeskProgressIndicator {
public:
    void setActionDelegate(std::weak_ptr<VeskAction>) override { }
    void setDescription(const QString &text) override { description = text; }
    void setStatusWord(const QString &word) override { status = word; }
    VeskProgressIndicator &ProgressIndicator() override { return *this; }
    void setIndeterminate(bool value) override { indeterminate = value; }
    void setDoubleValue(double v) override { value = v; }
    void setMaxValue(double v) override { maximum = v; }
    void startAnimation() override { animating = true; }
    void stopAnimation() override { animating = false; }
    void displayIfNeeded() override { }

    QString description;
    QString status;
    bool indeterminate = false;
    bool animating = true;
    double value = 0;
    double maximum = 0;
};

// A table that fills every row as soon as it appears, as a view on screen would.
class FakeQueueTable : public VeskActionQueueTable {
public:
    explicit FakeQueueTable(VeskActionManager &manager)
        : m_manager(manager)
    {
        manager.queueAttachTo(this);
    }
    void insertRowAtTop() override
    {
        m_cells.push_back(std::make_unique<FakeCell>());
        rows.insert(rows.begin(), m_cells.back().get());
        rows.front()->reset();
        m_manager.SetCell(rows.front(), 0);
    }
    void removeRow(uint64_t row) override { rows.erase(rows.begin() + qsizetype(row)); }
    void reloadData() override
    {
        rows.resize(m_manager.numberOfRowsInTableView());
        for (uint64_t row = 0; row < rows.size(); ++row)
            m_manager.SetCell(rows[row], row);
    }
    void slide(bool visible) override { slides.push_back(visible); }

    std::vector<FakeCell *> rows;
    std::vector<bool> slides;

private:
    VeskActionManager &m_manager;
    std::deque<std::unique_ptr<FakeCell>> m_cells;
};

QStringList statuses(const FakeQueueTable &table)
{
    QStringList words;
    for (const FakeCell *cell : table.rows)
        words << cell->status;
    return words;
}

} // namespace

class ActionQueue : public ::testing::Test {
protected:
    // The post-action script appends a line to a file per run.
    void SetUp() override
    {
        m_previousScript = VeskSettings::shared().value(kScript);
        VeskSettings::shared().setValue(
            kScript, QStringLiteral("with open(r'%1', 'a') as f:\n    f.write('ran\\n')\n").arg(scriptLog));
    }
    void TearDown() override { VeskSettings::shared().setValue(kScript, m_previousScript); }
    VeskActionProperties copyOf(const QStringList &names, const QByteArray &bytes = "bytes")
    {
        std::vector<VeskItemRef> items;
        for (const QString &name : names)
            items.push_back(makeItem(source.write(name, bytes)));
        return properties(QStringLiteral("Copy"), items, target.path());
    }
    void existingTarget(const QString &name) { target.write(QStringLiteral("Promo/MXF/") + name, "old"); }
    void serveUntilIdle()
    {
        manager.actionsOpQueue().waitUntilAllOperationsAreFinished();
        QCoreApplication::processEvents();
    }
    QString scriptRuns() const { return QString::fromUtf8(readAll(scriptLog)); }

    TestFiles source;
    TestFiles target;
    TestFiles scratch;
    QString scriptLog = scratch.path() + QStringLiteral("/script.txt");
    const QString kScript = QStringLiteral("ExtPythonMailer");
    QVariant m_previousScript;
    ScriptedAlerts alerts;
    VeskActionManager manager;
    FakeQueueTable table { manager };
};

TEST_F(ActionQueue, NewestFirstAndOneAtATime)
{
    existingTarget(QStringLiteral("a.mxf"));
    QStringList wordsWhileAsking;
    bool secondWaiting = false;
    double valueWhileAsking = -1;
    std::shared_ptr<VeskAction> second;
    alerts.on(kOverwrite, QStringLiteral("Yes"), [&] {
        wordsWhileAsking = statuses(table);
        secondWaiting = second->Action_Operation()->isReady();
        manager.updateProgress();
        valueWhileAsking = table.rows[1]->value;
    });
    manager.SetUpNewActionWithOptions(copyOf({ QStringLiteral("1/z.mxf"), QStringLiteral("1/a.mxf") }));
    second = manager.SetUpNewActionWithOptions(copyOf({ QStringLiteral("2/b.mxf"), QStringLiteral("2/c.mxf") }));
    EXPECT_EQ(table.slides, std::vector<bool> { true });
    EXPECT_EQ(manager.actions().front(), second);
    EXPECT_EQ(table.rows[0]->description,
        QStringLiteral("Copy 2 items %1 \ndestination:\n%2\n0 copied, 0 skipped, 0 failed")
            .arg(VeskFileSize::toHumanBytes(10), target.path()));
    EXPECT_TRUE(manager.isTimerActive());
    serveUntilIdle();

    EXPECT_EQ(valueWhileAsking, 5.0) << "the bytes of the file copied before the question";
    EXPECT_EQ(wordsWhileAsking, (QStringList { QStringLiteral("Waiting"), QStringLiteral("Running") }));
    EXPECT_TRUE(secondWaiting);
    EXPECT_EQ(statuses(table), (QStringList { QStringLiteral("Done"), QStringLiteral("Done") }));
    manager.updateProgress();
    EXPECT_TRUE(table.rows[1]->indeterminate);
    EXPECT_FALSE(table.rows[1]->animating);
    EXPECT_EQ(table.rows[0]->description,
        QStringLiteral("Copy 2 of 2 items %1 \ndestination:\n%2\n2 copied, 0 skipped, 0 failed")
            .arg(VeskFileSize::toHumanBytes(10), target.path()));
    EXPECT_EQ(table.rows[0]->maximum, 10.0);
    EXPECT_EQ(scriptRuns(), QStringLiteral("ran\nran\n"));
}

// Descriptions of empty and delete actions; clearing asks first, and only when there is
// something to clear.
TEST_F(ActionQueue, DescriptionsOfEmptyAndDeleteActionsAndClearing)
{
    manager.clearQueue(); // nothing to clear: no question
    const auto empty = manager.SetUpNewActionWithOptions(properties(QStringLiteral("Copy"), {}, target.path()));
    EXPECT_EQ(table.rows[0]->description, QStringLiteral("InvalidAction"));
    VeskActionProperties remove = copyOf({ QStringLiteral("1/a.mxf") });
    remove.Action = QStringLiteral("Delete");
    remove.items->front()->setDB_FileExists(false);
    manager.SetUpNewActionWithOptions(remove);
    EXPECT_EQ(table.rows[0]->description,
        QStringLiteral(
            "Delete 1 item %1 \ndestination:\nSuper Secret Annihilator (SSA)\n0 deleted, 0 skipped, 0 failed")
            .arg(VeskFileSize::toHumanBytes(5)));
    VeskActionProperties failing = copyOf({ QStringLiteral("1/b.mxf") });
    QFile::remove(failing.items->front()->DB_itemPath());
    manager.SetUpNewActionWithOptions(failing);
    serveUntilIdle();
    alerts.on(QStringLiteral("Really clear queue?"), QStringLiteral("Cancel"));
    manager.clearQueue();
    EXPECT_EQ(manager.numberOfRowsInTableView(), 3u);
    // An action without items still runs to its end, and so does its script; one with a
    // failed item says so.
    EXPECT_EQ(statuses(table),
        (QStringList { QStringLiteral("Done with errors"), QStringLiteral("Done"), QStringLiteral("Done") }));
    EXPECT_TRUE(table.rows[0]->description.endsWith(QStringLiteral("\n0 copied, 0 skipped, 1 failed")));
    EXPECT_EQ(scriptRuns(), QStringLiteral("ran\nran\nran\n"));
}

TEST_F(ActionQueue, CancellingAWaitingActionRemovesItWithoutItsScript)
{
    existingTarget(QStringLiteral("a.mxf"));
    std::shared_ptr<VeskAction> second;
    QString wordAfterCancel;
    alerts.on(kOverwrite, QStringLiteral("Yes"), [&] {
        manager.queueRemoveAction(second);
        wordAfterCancel = table.rows[0]->status;
    });
    manager.SetUpNewActionWithOptions(copyOf({ QStringLiteral("1/a.mxf") }));
    second = manager.SetUpNewActionWithOptions(copyOf({ QStringLiteral("2/b.mxf") }));
    serveUntilIdle();
    EXPECT_EQ(wordAfterCancel, QStringLiteral("Cancelled"));
    ASSERT_EQ(manager.numberOfRowsInTableView(), 1u);
    EXPECT_EQ(table.rows.size(), 1u);
    EXPECT_FALSE(second->Action_Operation()->actionLog().contains(QStringLiteral("Execution Started")));
    EXPECT_FALSE(QFileInfo::exists(target.path() + QStringLiteral("/Promo/MXF/b.mxf")));
    EXPECT_EQ(scriptRuns(), QStringLiteral("ran\n"));
}

// The user clears the queue while an action's question is on screen: the action ends
// as cancelled, the late answer is ignored, and nothing hangs.
TEST_F(ActionQueue, ClearingWhileAQuestionIsOpenEndsEverything)
{
    existingTarget(QStringLiteral("a.mxf"));
    alerts.on(QStringLiteral("Really clear queue?"), QStringLiteral("OK"));
    alerts.on(kOverwrite, QStringLiteral("Yes"), [&] { manager.clearQueue(); });
    const auto first = manager.SetUpNewActionWithOptions(copyOf({ QStringLiteral("1/a.mxf") }));
    const auto second = manager.SetUpNewActionWithOptions(copyOf({ QStringLiteral("2/b.mxf") }));
    serveUntilIdle();
    EXPECT_EQ(manager.numberOfRowsInTableView(), 0u);
    EXPECT_FALSE(manager.isTimerActive());
    for (const auto &action : { first, second }) {
        EXPECT_TRUE(action->Action_Operation()->isFinished());
        EXPECT_TRUE(action->Action_Operation()->isCancelled());
    }
    EXPECT_EQ(readAll(target.path() + QStringLiteral("/Promo/MXF/a.mxf")), "old");
    EXPECT_FALSE(QFileInfo::exists(target.path() + QStringLiteral("/Promo/MXF/b.mxf")));
    EXPECT_TRUE(scriptRuns().isEmpty());
}

// Cancels the operation when its question reaches the main thread, before it runs.
class CancelOnHandOver : public QObject {
public:
    explicit CancelOnHandOver(std::shared_ptr<VeskActionOperation> operation)
        : m_operation(std::move(operation))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall && !seen
            && m_operation->actionLog().contains(QStringLiteral("FILE EXISTS"))) {
            seen = true;
            m_operation->cancel();
        }
        return false;
    }
    bool seen = false;

private:
    std::shared_ptr<VeskActionOperation> m_operation;
};

// A question handed to the main thread but not yet shown: cancelling ends the wait,
// and the question never appears.
TEST_F(ActionQueue, CancelWithdrawsAQuestionNotYetShown)
{
    existingTarget(QStringLiteral("a.mxf"));
    alerts.on(kOverwrite, QStringLiteral("Yes"));
    const auto operation = makeOperation(copyOf({ QStringLiteral("1/a.mxf") }));
    CancelOnHandOver canceller(operation);
    VeskOperationQueue queue(1);
    queue.addOperation(operation);
    ASSERT_TRUE(waitFor([&] { return queue.operationCount() == 0; }));
    EXPECT_TRUE(canceller.seen);
    EXPECT_TRUE(operation->isCancelled());
    EXPECT_EQ(alerts.count(kOverwrite), 0);
    EXPECT_EQ(readAll(target.path() + QStringLiteral("/Promo/MXF/a.mxf")), "old");
}

TEST(PostActionScript, EachRunStartsCleanAndSurvivesItsOwnExit)
{
    TestFiles scratch;
    const QString out = scratch.path() + QStringLiteral("/out.txt");
    VeskPythonScript::run(QStringLiteral("leaked = 1\nimport sys\nsys.exit(3)\n"));
    VeskPythonScript::run(QStringLiteral("raise ValueError('a broken script')\n"));
    VeskPythonScript::run(
        QStringLiteral("with open(r'%1', 'w') as f:\n    f.write(str('leaked' in globals()) + ' ' + __name__)\n")
            .arg(out));
    EXPECT_EQ(readAll(out), "False __main__");
}
