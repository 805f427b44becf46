#include "actions/VeskAction.h"

#include "actions/VeskActionCellView.h"
#include "actions/VeskPythonScript.h"
#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"
#include "report/VeskFileSize.h"

#include <map>

namespace {

const QString kCancelled = QStringLiteral("Cancelled");

} // namespace

std::shared_ptr<VeskAction> VeskAction::initWithOptions(const VeskActionProperties &properties)
{
    std::shared_ptr<VeskAction> action(new VeskAction);
    action->m_operation = std::make_shared<VeskActionOperation>(properties);
    const std::weak_ptr<VeskAction> weak = action;
    action->m_operation->setDelegate(weak);
    action->m_operation->setCancelObserver([weak] {
        if (const auto self = weak.lock())
            self->observeValueForKeyPath();
    });
    action->m_operation->setEndObserver([weak] {
        if (const auto self = weak.lock())
            self->operationEnded();
    });
    return action;
}

void VeskAction::onRow(const std::function<void(VeskAction &, VeskActionCellView &)> &change, bool wait)
{
    VeskMainThread::run(
        [weak = weak_from_this(), change] {
            const auto self = weak.lock();
            if (self && self->m_cell)
                change(*self, *self->m_cell);
        },
        wait);
}

// A word that comes late never covers up a cancel.
void VeskAction::showStatusWord(const QString &word, bool wait)
{
    onRow([word](VeskAction &self,
              VeskActionCellView &cell) { cell.setStatusWord(self.m_operation->isCancelled() ? kCancelled : word); },
        wait);
}

void VeskAction::VeskActionOperationWillStart(VeskActionOperation &)
{
    showStatusWord(QStringLiteral("Running"), true);
}

void VeskAction::VeskActionOperationStatusUpdate(VeskActionOperation &)
{
    const QString text = progressText();
    const double maximum = double(m_operation->BytesTotal().value_or(0));
    onRow(
        [text, maximum](VeskAction &self, VeskActionCellView &cell) {
            cell.setDescription(text);
            if (self.m_operation->itemsTotal() != 0)
                cell.ProgressIndicator().setMaxValue(maximum);
        },
        false);
}

void VeskAction::VeskActionOperationDidFinished(VeskActionOperation &)
{
    onRow(
        [](VeskAction &self, VeskActionCellView &cell) {
            cell.setDescription(self.progressText());
            cell.setStatusWord(self.m_operation->isCancelled() ? kCancelled : self.endWord());
            cell.ProgressIndicator().setIndeterminate(true);
            cell.ProgressIndicator().stopAnimation();
        },
        true);
    const uint64_t failed = m_operation->failedCount();
    VESK_LOG(failed == 0 ? QStringLiteral("Vesk Action completed sucessfully")
                         : QStringLiteral("Vesk Action completed with %1 errors").arg(failed));
    VeskPythonScript::runPostActionScript();
}

QString VeskAction::endWord() const
{
    return m_operation->failedCount() == 0 ? QStringLiteral("Done") : QStringLiteral("Done with errors");
}

void VeskAction::observeValueForKeyPath()
{
    showStatusWord(kCancelled, true);
}

void VeskAction::Action_cancel()
{
    m_operation->cancel();
}

QString VeskAction::descriptionText(const QString &count) const
{
    const VeskActionOperation &operation = *m_operation;
    if (operation.itemsTotal() == 0)
        return QStringLiteral("InvalidAction");
    const QString &action = operation.Action_Properties().Action;
    static const std::map<QString, QString> places
        = { { QStringLiteral("Delete"), QStringLiteral("Super Secret Annihilator (SSA)") },
              { QStringLiteral("Quarantine"), QStringLiteral("the quarantine of each file's volume") },
              { QStringLiteral("Restore"), QStringLiteral("each file's original place") },
              { QStringLiteral("Purge"), QStringLiteral("permanent deletion") } };
    const auto place = places.find(action);
    const QString destination = place == places.end() ? operation.validPath() : place->second;
    const QString text
        = QStringLiteral("%1 %2 %3 %4 \ndestination:\n%5")
              .arg(action, count, operation.itemsTotal() < 2 ? QStringLiteral("item") : QStringLiteral("items"),
                  VeskFileSize::toHumanBytes(double(operation.BytesTotal().value_or(0))), destination);
    // The counts line is there from the start, so that the row keeps its height.
    const uint64_t done = operation.doneCount();
    const uint64_t skipped = operation.skippedCount();
    const uint64_t failed = operation.failedCount();
    return text
        + QStringLiteral("\n%1 %2, %3 skipped, %4 failed").arg(done).arg(operation.doneVerb()).arg(skipped).arg(failed);
}

QString VeskAction::progressText() const
{
    return descriptionText(QStringLiteral("%1 of %2").arg(m_operation->itemsDone()).arg(m_operation->itemsTotal()));
}

void VeskAction::SetStatusText()
{
    if (!m_cell)
        return;
    const VeskActionOperation &operation = *m_operation;
    m_cell->setDescription(descriptionText(QString::number(operation.itemsTotal())));
    if (operation.itemsTotal() != 0)
        m_cell->ProgressIndicator().setMaxValue(double(operation.BytesTotal().value_or(0)));
    QString word = QStringLiteral("Waiting");
    if (operation.isExecuting())
        word = QStringLiteral("Running");
    if (operation.isFinished())
        word = endWord();
    if (operation.isCancelled())
        word = kCancelled;
    m_cell->setStatusWord(word);
}

void VeskAction::setCompletionStep(std::function<void()> step)
{
    QMutexLocker locker(&m_completionLock);
    if (!m_ended) {
        m_completion = std::move(step);
        return;
    }
    locker.unlock();
    if (step)
        step();
}

// A cancelled action is told nothing else: its row shows how far it came.
void VeskAction::operationEnded()
{
    onRow([](VeskAction &self, VeskActionCellView &cell) { cell.setDescription(self.progressText()); }, false);
    std::function<void()> step;
    {
        QMutexLocker locker(&m_completionLock);
        m_ended = true;
        std::swap(step, m_completion);
    }
    if (step)
        step();
}
