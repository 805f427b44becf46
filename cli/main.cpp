#include "ActionCommand.h"
#include "BinCommand.h"
#include "CliCompletions.h"
#include "CliHelp.h"
#include "CliIO.h"
#include "DuplicatesCommand.h"
#include "InspectCommand.h"
#include "MxfCommand.h"
#include "QuarantineCommand.h"
#include "ScanCommand.h"
#include "UsageCommand.h"
#include "VerifyCommand.h"

#include "platform/VeskSettings.h"

#include <QCoreApplication>

#include <map>

namespace {

const QString kUsage = QStringLiteral("vesk-cli COMMAND [options] ARGUMENTS... (see vesk-cli --help)");

using Command = int (*)(const QStringList &);

// Qt's own messages (the console's start line among them) are not for the terminal.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        CliIO::error(message);
}

// "vesk-cli help [COMMAND]": the same text as "vesk-cli COMMAND --help".
int printHelp(const QString &name)
{
    if (name.isEmpty()) {
        CliIO::out() << CliHelp::programHelp() << Qt::flush;
        return CliIO::Success;
    }
    const std::optional<CliOptions::CommandInfo> command = CliOptions::command(name);
    if (!command)
        return CliIO::usageError(QStringLiteral("unknown command: %1").arg(name), kUsage);
    CliIO::out() << CliHelp::commandHelp(*command) << Qt::flush;
    return CliIO::Success;
}

// The manual page or a completion script, written at build time.
int generate(const QString &kind)
{
    const QString text = kind == QLatin1String("man") ? CliHelp::manPage() : CliCompletions::script(kind);
    if (text.isEmpty())
        return CliIO::usageError(QStringLiteral("--generate takes man, bash, zsh or fish"), kUsage);
    CliIO::out() << text << Qt::flush;
    return CliIO::Success;
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietMessages);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vesk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    VeskSettings::shared().useMemoryStore();
    VeskSettings::shared().registerStandardDefaults();

    const std::map<QString, Command> commands = {
        { QStringLiteral("scan"), &ScanCommand::run },
        { QStringLiteral("bin"), &BinCommand::run },
        { QStringLiteral("usage"), &UsageCommand::run },
        { QStringLiteral("mxf"), &MxfCommand::run },
        { QStringLiteral("inspect"), &InspectCommand::run },
        { QStringLiteral("duplicates"), &DuplicatesCommand::run },
        { QStringLiteral("copy"), &ActionCommand::run },
        { QStringLiteral("move"), &ActionCommand::run },
        { QStringLiteral("delete"), &ActionCommand::run },
        { QStringLiteral("quarantine"), &QuarantineCommand::run },
        { QStringLiteral("restore"), &QuarantineCommand::restore },
        { QStringLiteral("purge"), &QuarantineCommand::purge },
        { QStringLiteral("verify"), &VerifyCommand::run },
    };
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return CliIO::usageError(QStringLiteral("no command given"), kUsage);
    if (args[1] == QLatin1String("--version")) {
        CliIO::out() << "vesk-cli " << VESK_VERSION << Qt::endl;
        return CliIO::Success;
    }
    if (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h") || args[1] == QLatin1String("help"))
        return printHelp(args[1] == QLatin1String("help") ? args.value(2) : QString());
    if (args[1] == QLatin1String("--generate"))
        return generate(args.value(2));
    const auto command = commands.find(args[1]);
    if (command == commands.end())
        return CliIO::usageError(QStringLiteral("unknown command: %1").arg(args[1]), kUsage);
    return command->second(args.mid(1));
}
