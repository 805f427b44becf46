#include "ActionCommand.h"
#include "BinCommand.h"
#include "CliIO.h"
#include "InspectCommand.h"
#include "MxfCommand.h"
#include "ScanCommand.h"

#include "platform/VeskSettings.h"

#include <QCoreApplication>

#include <map>

namespace {

const QString kUsage = QStringLiteral(
    "vesk-cli --version | --help | COMMAND [options] (commands: scan, bin, mxf, inspect, copy, move, delete)");

using Command = int (*)(const QStringList &);

// Qt's own messages (the console's start line among them) are not for the terminal.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        CliIO::error(message);
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
        { QStringLiteral("mxf"), &MxfCommand::run },
        { QStringLiteral("inspect"), &InspectCommand::run },
        { QStringLiteral("copy"), &ActionCommand::run },
        { QStringLiteral("move"), &ActionCommand::run },
        { QStringLiteral("delete"), &ActionCommand::run },
    };
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return CliIO::usageError(QStringLiteral("no command given"), kUsage);
    if (args[1] == QLatin1String("--version")) {
        CliIO::out() << "vesk-cli " << VESK_VERSION << Qt::endl;
        return CliIO::Success;
    }
    if (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        CliIO::out() << "usage: " << kUsage << "\nRun 'vesk-cli COMMAND --help' for a command's options.\n";
        return CliIO::Success;
    }
    const auto command = commands.find(args[1]);
    if (command == commands.end())
        return CliIO::usageError(QStringLiteral("unknown command: %1").arg(args[1]), kUsage);
    QStringList commandArguments = args;
    commandArguments.removeAt(1);
    commandArguments[0] = QStringLiteral("vesk-cli ") + args[1];
    return command->second(commandArguments);
}
