#include "VeskQuitGuard.h"

#include "actions/VeskActionManager.h"
#include "actions/VeskPythonScript.h"
#include "base/VeskNSLog.h"
#include "report/VeskAlert.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>

namespace {

// Shared between the action's ending thread and the main thread; only the main
// thread reads or writes its fields.
struct EndWait {
    QEventLoop *loop = nullptr;
    size_t left = 0;
};

bool anyWindowShown()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget *window) { return window->isVisible(); });
}

} // namespace

VeskQuitGuard::VeskQuitGuard(VeskActionManager &manager, std::function<void()> keepRunning, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_keepRunning(std::move(keepRunning))
{
    qApp->installEventFilter(this);
}

VeskQuitGuard::~VeskQuitGuard()
{
    qApp->removeEventFilter(this);
}

bool VeskQuitGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != qApp || event->type() != QEvent::Quit)
        return false;
    // A second quit while the first one waits goes the way of the first.
    return m_waiting || !mayQuit();
}

std::vector<std::shared_ptr<VeskAction>> VeskQuitGuard::runningActions() const
{
    std::vector<std::shared_ptr<VeskAction>> running;
    for (const std::shared_ptr<VeskAction> &action : m_manager.actions())
        if (!action->Action_Operation()->isFinished())
            running.push_back(action);
    return running;
}

bool VeskQuitGuard::actionsRunning() const
{
    return !runningActions().empty();
}

bool VeskQuitGuard::mayQuit()
{
    const std::vector<std::shared_ptr<VeskAction>> running = runningActions();
    if (running.empty())
        return true;
    const int answer = VeskAlert::ShowDialog_with_Buttons(QStringLiteral("A file action is still running."),
        QStringLiteral("Quitting cancels it; a file being copied is removed."),
        { QStringLiteral("Keep Running"), QStringLiteral("Cancel Action and Quit") });
    if (answer != VeskAlert::Second) {
        if (m_keepRunning && !anyWindowShown())
            m_keepRunning();
        return false;
    }
    VESK_LOG(QStringLiteral("Quitting: the running actions are cancelled"));
    m_manager.actionsOpQueue().cancelAllOperations();
    VeskPythonScript::stopRunningScript();
    if (!waitForEnd(running))
        VESK_LOG(QStringLiteral("Vesk quits while an action has not ended"));
    return true;
}

// Each action tells its end through its completion step; the wait ends when all have
// told, or at the limit.
bool VeskQuitGuard::waitForEnd(const std::vector<std::shared_ptr<VeskAction>> &running)
{
    QEventLoop loop;
    const auto wait = std::make_shared<EndWait>();
    wait->loop = &loop;
    wait->left = running.size();
    for (const std::shared_ptr<VeskAction> &action : running)
        action->setCompletionStep([wait] {
            QMetaObject::invokeMethod(
                qApp,
                [wait] {
                    if (wait->left > 0 && --wait->left == 0 && wait->loop)
                        wait->loop->quit();
                },
                Qt::QueuedConnection);
        });
    QProgressDialog progress(QStringLiteral("Cancelling the running action…"), QString(), 0, 0);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    QTimer::singleShot(kCleanUpLimitMs, &loop, &QEventLoop::quit);
    m_waiting = true;
    if (wait->left > 0)
        loop.exec();
    m_waiting = false;
    wait->loop = nullptr;
    return wait->left == 0;
}
