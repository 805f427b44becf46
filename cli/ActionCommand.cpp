#include "ActionCommand.h"

#include "ActionPlan.h"
#include "ActionProgress.h"
#include "CliAlerts.h"
#include "CliIO.h"
#include "CliOptions.h"
#include "ScanOptions.h"

#include "actions/VeskActionManager.h"
#include "actions/VeskActionProperties.h"
#include "actions/VeskNewActionController.h"
#include "model/VeskCore.h"

#include <QCommandLineParser>

#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// How often the progress line is drawn again.
constexpr int kRedrawMs = 200;

// The write end of the pipe through which an interrupt wakes the waiting main thread.
std::atomic<int> wakeWrite { -1 };

void onInterrupt(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);
}

CliAlerts::Overwrite overwriteMode(const QString &value)
{
    if (value == QLatin1String("yes"))
        return CliAlerts::Overwrite::Yes;
    return value == QLatin1String("no") ? CliAlerts::Overwrite::No : CliAlerts::Overwrite::Ask;
}

ActionProgress::Mode progressMode(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("quiet")))
        return ActionProgress::Mode::Quiet;
    return parser.isSet(QStringLiteral("verbose")) ? ActionProgress::Mode::Verbose : ActionProgress::Mode::Normal;
}

} // namespace

QString ActionCommand::checkUsage(const QCommandLineParser &parser, const QString &action)
{
    if (VeskActionProperties::hasDestination(action) && !parser.isSet(QStringLiteral("dest")))
        return QStringLiteral("--dest DIR is needed");
    if (parser.isSet(QStringLiteral("quiet")) && parser.isSet(QStringLiteral("verbose")))
        return QStringLiteral("--quiet and --verbose exclude each other");
    if (parser.value(QStringLiteral("format")) == QLatin1String("json") && !parser.isSet(QStringLiteral("dry-run")))
        return QStringLiteral("--format json is for the plan of --dry-run");
    const bool asks = action != QLatin1String("Copy") && !parser.isSet(QStringLiteral("dry-run"))
        && !parser.isSet(QStringLiteral("yes"));
    if (asks && !CliIO::stdinIsTerminal())
        return QStringLiteral("%1 changes files and standard input is no terminal to confirm on: give --yes")
            .arg(action.toLower());
    return {};
}

QString ActionCommand::readLayout(const QCommandLineParser &parser, VeskNewActionController &sheet)
{
    const auto isSet = [&parser](const char *name) { return parser.isSet(QString::fromLatin1(name)); };
    if (isSet("projects") && isSet("no-projects"))
        return QStringLiteral("--projects and --no-projects exclude each other");
    if (isSet("types") && isSet("no-types"))
        return QStringLiteral("--types and --no-types exclude each other");
    sheet.checkSetFolders(!isSet("no-projects"));
    sheet.checkSetMXF(!isSet("no-types"));
    sheet.checkSetKeepOriginalFolders(isSet("original-folders"));
    sheet.SelectDestination(parser.value(QStringLiteral("dest")));
    return {};
}

int ActionCommand::run(const QStringList &arguments)
{
    const QString name = arguments.value(0);
    const QString action = name.left(1).toUpper() + name.mid(1);
    const CliOptions::Command command = CliOptions::command(name)->command;
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    ScanOptions scanOptions(ScanOptions::ForActions);
    QString problem = checkUsage(parser, action);
    if (problem.isEmpty())
        problem = scanOptions.read(parser, arguments);
    if (!problem.isEmpty())
        return CliOptions::usageError(command, problem);

    VeskCore &core = VeskCore::sharedCore();
    if (const int status = scanOptions.run(core); status != CliIO::Success)
        return status;
    const std::vector<VeskItemRef> items = core.shownItems();
    VeskNewActionController sheet(items);
    sheet.RadioChanged(action);
    if (VeskActionProperties::hasDestination(action))
        if (const QString layoutProblem = readLayout(parser, sheet); !layoutProblem.isEmpty())
            return CliOptions::usageError(command, layoutProblem);
    sheet.checkSetSure(true);
    if (const auto refusal = sheet.PushGo()) {
        CliIO::error(refusal->message);
        return items.empty() ? CliIO::Success : CliIO::Usage;
    }
    VeskActionProperties properties = sheet.ActionProperties();
    properties.Verify_copies = parser.isSet(QStringLiteral("verify"));
    properties.Write_mhl = !parser.isSet(QStringLiteral("no-mhl"));
    return planAndAct(parser, action, properties);
}

int ActionCommand::planAndAct(
    const QCommandLineParser &parser, const QString &action, const VeskActionProperties &properties)
{
    // Delete has no --overwrite; its one question (remove for good what the trash
    // refuses) is asked as in "ask" mode. Quarantine never overwrites and asks nothing.
    const QString overwrite = VeskActionProperties::hasDestination(action) ? parser.value(QStringLiteral("overwrite"))
                                                                           : QStringLiteral("ask");
    const ActionPlan plan(properties, overwrite, CliIO::stdinIsTerminal());
    if (parser.isSet(QStringLiteral("dry-run"))) {
        const bool json = parser.value(QStringLiteral("format")) == QLatin1String("json");
        CliIO::out() << (json ? plan.jsonLines() : plan.text()) << Qt::flush;
        return CliIO::Success;
    }
    if (action != QLatin1String("Copy") && !parser.isSet(QStringLiteral("yes"))
        && !CliIO::confirm(QStringLiteral("%1 %2?").arg(action, plan.totals()))) {
        CliIO::error(QStringLiteral("nothing was changed"));
        return CliIO::Unreadable;
    }
    const VeskAlert::Handler previous = VeskAlert::setHandler(CliAlerts::handler(overwriteMode(overwrite)));
    VeskActionManager manager;
    const std::shared_ptr<VeskAction> running = manager.SetUpNewActionWithOptions(properties);
    const int status = running
        ? runAction(manager.actionsOpQueue(), *running,
            ActionProgress(*running->Action_Operation(), progressMode(parser), CliIO::stderrIsTerminal()))
        : int(CliIO::Unreadable);
    VeskAlert::setHandler(previous);
    return status;
}

// The action runs on its worker while this thread answers its questions and shows its
// progress. Ctrl-C or a termination request cancels it, so that no copy is left
// half-made; a second one ends the program at once (the next action clears what that
// leaves).
int ActionCommand::runAction(VeskOperationQueue &queue, VeskAction &action, ActionProgress &&progress)
{
    const std::shared_ptr<VeskActionOperation> operation = action.Action_Operation();
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        CliIO::error(QStringLiteral("cannot set up the interrupt: %1").arg(QString::fromLocal8Bit(strerror(errno))));
        action.Action_cancel();
        return CliIO::Unreadable;
    }
    wakeWrite = wake[1];
    QSocketNotifier interrupt(wake[0], QSocketNotifier::Read);
    QObject::connect(&interrupt, &QSocketNotifier::activated, [&action, &wake] {
        char bytes[16];
        while (read(wake[0], bytes, sizeof bytes) > 0) { }
        action.Action_cancel();
    });
    QTimer redraw;
    QObject::connect(&redraw, &QTimer::timeout, [&progress] { progress.update(); });
    progress.update();
    redraw.start(kRedrawMs);
    struct sigaction handler {
    }, previous[2] {};
    handler.sa_handler = onInterrupt;
    handler.sa_flags = SA_RESETHAND; // no SA_RESTART: a question waiting on the terminal ends
    sigemptyset(&handler.sa_mask);
    sigaction(SIGINT, &handler, &previous[0]);
    sigaction(SIGTERM, &handler, &previous[1]);
    queue.waitUntilAllOperationsAreFinished(QEventLoop::ExcludeUserInputEvents);
    sigaction(SIGINT, &previous[0], nullptr);
    sigaction(SIGTERM, &previous[1], nullptr);
    wakeWrite = -1;
    close(wake[0]);
    close(wake[1]);
    progress.finish();
    CliIO::out() << operation->summary() << '\n' << Qt::flush;
    if (operation->isCancelled())
        return CliIO::Interrupted;
    return operation->failedCount() == 0 ? CliIO::Success : CliIO::Unreadable;
}
