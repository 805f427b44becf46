#include "ActionCommand.h"

#include "CliAlerts.h"
#include "CliIO.h"
#include "CliPlan.h"
#include "ScanOptions.h"

#include "actions/VeskActionManager.h"
#include "actions/VeskNewActionController.h"
#include "model/VeskCore.h"

#include <QCommandLineParser>

#include <atomic>
#include <csignal>

namespace {

const QString kUsage
    = QStringLiteral("vesk-cli copy|move|delete [scan options] PATH... [--dest DIR] [--projects|--no-projects] "
                     "[--types|--no-types] [--original-folders] [--overwrite ask|yes|no] [--dry-run]");

// The shell's status for a command ended by an interrupt.
constexpr int kCancelled = 130;

std::atomic<bool> interrupted { false };

void onInterrupt(int)
{
    interrupted = true;
}

struct LayoutOptions {
    QCommandLineOption dest { QStringLiteral("dest"), QStringLiteral("Destination folder (copy and move)."),
        QStringLiteral("DIR") };
    QCommandLineOption projects { QStringLiteral("projects"), QStringLiteral("One folder per project (default).") };
    QCommandLineOption noProjects { QStringLiteral("no-projects"), QStringLiteral("No project folders.") };
    QCommandLineOption types { QStringLiteral("types"), QStringLiteral("One folder per file type (default).") };
    QCommandLineOption noTypes { QStringLiteral("no-types"), QStringLiteral("No file type folders.") };
    QCommandLineOption originalFolders { QStringLiteral("original-folders"),
        QStringLiteral("Repeat the name of each file's own folder.") };
    QCommandLineOption overwrite { QStringLiteral("overwrite"),
        QStringLiteral("Existing targets: ask (the terminal; no without one), yes or no. "
                       "Other questions are asked in ask mode and answered no otherwise."),
        QStringLiteral("MODE"), QStringLiteral("ask") };
    QCommandLineOption dryRun { QStringLiteral("dry-run"),
        QStringLiteral("Print each row's target or why it is skipped; change nothing.") };
    QCommandLineOption format { QStringLiteral("format"), QStringLiteral("The dry run's plan as text or json."),
        QStringLiteral("FORMAT"), QStringLiteral("text") };
};

// The rows "scan" would print, in its order.
std::vector<VeskItemRef> shownItems(const VeskCore &core)
{
    std::vector<VeskItemRef> items;
    for (uint64_t row = 0; row < core.getFilteredIndexesCount(); ++row)
        if (VeskItemRef item = core.ObjectAtIndexFiltered(row))
            items.push_back(std::move(item));
    return items;
}

QString readLayout(const QCommandLineParser &parser, const LayoutOptions &options, VeskNewActionController &sheet)
{
    if (parser.isSet(options.projects) && parser.isSet(options.noProjects))
        return QStringLiteral("--projects and --no-projects exclude each other");
    if (parser.isSet(options.types) && parser.isSet(options.noTypes))
        return QStringLiteral("--types and --no-types exclude each other");
    sheet.checkSetFolders(!parser.isSet(options.noProjects));
    sheet.checkSetMXF(!parser.isSet(options.noTypes));
    sheet.checkSetKeepOriginalFolders(parser.isSet(options.originalFolders));
    return {};
}

} // namespace

int ActionCommand::run(const QStringList &arguments)
{
    const QString name = arguments.value(0).section(QLatin1Char(' '), 1);
    const QString action = name.left(1).toUpper() + name.mid(1);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("%1 the media rows that scan would print.").arg(action));
    parser.addHelpOption();
    ScanOptions scanOptions(ScanOptions::ForActions);
    scanOptions.addTo(parser);
    const LayoutOptions options;
    parser.addOptions({ options.dest, options.projects, options.noProjects, options.types, options.noTypes,
        options.originalFolders, options.overwrite, options.dryRun, options.format });
    if (const std::optional<int> stop = CliIO::parse(parser, arguments, kUsage))
        return *stop;
    const QString overwrite = parser.value(options.overwrite);
    if (overwrite != QLatin1String("ask") && overwrite != QLatin1String("yes") && overwrite != QLatin1String("no"))
        return CliIO::usageError(QStringLiteral("--overwrite takes ask, yes or no"), kUsage);
    if (const QString format = parser.value(options.format);
        format != QLatin1String("text") && (format != QLatin1String("json") || !parser.isSet(options.dryRun)))
        return CliIO::usageError(QStringLiteral("--format takes text, or json with --dry-run"), kUsage);
    if (action != QLatin1String("Delete") && !parser.isSet(options.dest))
        return CliIO::usageError(QStringLiteral("--dest DIR is needed"), kUsage);
    if (const QString problem = scanOptions.read(parser, arguments); !problem.isEmpty())
        return CliIO::usageError(problem, kUsage);

    VeskCore &core = VeskCore::sharedCore();
    if (const int status = scanOptions.run(core); status != CliIO::Success)
        return status;
    const std::vector<VeskItemRef> items = shownItems(core);
    VeskNewActionController sheet(items);
    sheet.RadioChanged(action);
    if (const QString problem = readLayout(parser, options, sheet); !problem.isEmpty())
        return CliIO::usageError(problem, kUsage);
    if (parser.isSet(options.dest))
        sheet.SelectDestination(parser.value(options.dest));
    sheet.checkSetSure(true);
    if (const auto refusal = sheet.PushGo()) {
        CliIO::error(refusal->message);
        return items.empty() ? CliIO::Success : CliIO::Usage;
    }
    if (parser.isSet(options.dryRun)) {
        CliPlan(sheet.ActionProperties(), overwrite).print(parser.value(options.format) == QLatin1String("json"));
        return CliIO::Success;
    }
    const VeskAlert::Handler previous
        = VeskAlert::setHandler(CliAlerts::handler(overwrite == QLatin1String("yes") ? CliAlerts::Overwrite::Yes
                : overwrite == QLatin1String("no")                                   ? CliAlerts::Overwrite::No
                                                                                     : CliAlerts::Overwrite::Ask));
    const int status = runAction(sheet.ActionProperties());
    VeskAlert::setHandler(previous);
    return status;
}

// The action runs on its worker while this thread answers its questions. Ctrl-C or a
// termination request cancels it, so that no copy is left half-made; a second one
// ends the program at once (the next action clears what that leaves).
int ActionCommand::runAction(const VeskActionProperties &properties)
{
    VeskActionManager manager;
    const std::shared_ptr<VeskAction> action = manager.SetUpNewActionWithOptions(properties);
    if (!action)
        return CliIO::Unreadable;
    const std::shared_ptr<VeskActionOperation> operation = action->Action_Operation();
    interrupted = false;
    struct sigaction handler {
    }, previous[2] {};
    handler.sa_handler = onInterrupt;
    handler.sa_flags = SA_RESETHAND; // no SA_RESTART: a question waiting on the terminal ends
    sigemptyset(&handler.sa_mask);
    sigaction(SIGINT, &handler, &previous[0]);
    sigaction(SIGTERM, &handler, &previous[1]);
    VeskActionManager::serveMainThreadUntil([&] {
        if (interrupted.exchange(false))
            action->Action_cancel();
        return operation->isFinished();
    });
    sigaction(SIGINT, &previous[0], nullptr);
    sigaction(SIGTERM, &previous[1], nullptr);
    CliIO::out() << operation->actionLog() << operation->summary() << '\n' << Qt::flush;
    if (operation->isCancelled())
        return kCancelled;
    return operation->failedCount() == 0 ? CliIO::Success : CliIO::Unreadable;
}
