#include "BinCommand.h"

#include "CliIO.h"

#include "readers/AVBFile.h"

#include <QCommandLineParser>

namespace {

const QString kUsage = QStringLiteral("vesk-cli bin [--dump] FILE...");

QString uidText(const AVBFileUID &uid)
{
    VeskItemRef probe = uid.makeProbe();
    const QString text = probe->getFileUIDString(); // "{ 0123456789abcdef }"
    return text.mid(2, 16);
}

} // namespace

int BinCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Print the media UIDs that bins reference."));
    parser.addHelpOption();
    const QCommandLineOption dump(QStringLiteral("dump"), QStringLiteral("Print the diagnostic dump instead."));
    parser.addOption(dump);
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("Bin files (.avb)."), QStringLiteral("FILE..."));
    if (const std::optional<int> stop = CliIO::parse(parser, arguments, kUsage))
        return *stop;
    if (parser.positionalArguments().isEmpty())
        return CliIO::usageError(QStringLiteral("no FILE given"), kUsage);
    int status = CliIO::Success;
    for (const QString &path : parser.positionalArguments()) {
        AVBFile bin;
        if (!bin.dataWithContentsOfURL(path)) {
            CliIO::error(QStringLiteral("not a bin: %1").arg(path));
            status = CliIO::Unreadable;
            continue;
        }
        if (parser.isSet(dump)) {
            CliIO::out() << CliIO::captureLog([&bin] { bin.getAMAUIDS(); });
            continue;
        }
        for (const AVBFileUID &uid : bin.getUIDS())
            CliIO::out() << uidText(uid) << '\n';
    }
    CliIO::out() << Qt::flush;
    return status;
}
