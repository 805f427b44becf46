#include "BinCommand.h"

#include "CliIO.h"
#include "CliOptions.h"

#include "readers/AVBFile.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

// The UIDs a bin references, or its dump; a damaged bin is dumped too, since that is
// where one looks into it, but its UIDs are not printed as if they were all.
int printBin(const QString &path, bool dump)
{
    AVBFile bin;
    const AVBFile::Status status = bin.readBin(path);
    if (status == AVBFile::Status::NoReferences)
        CliIO::warning(AVBFile::statusText(status, path));
    else if (AVBFile::isRefused(status))
        CliIO::error(AVBFile::statusText(status, path));
    if (dump && (status == AVBFile::Status::Damaged || !AVBFile::isRefused(status)))
        CliIO::out() << CliIO::captureLog([&bin] { bin.getAMAUIDS(); });
    else if (!AVBFile::isRefused(status))
        for (const AVBFileUID &uid : bin.getUIDS())
            CliIO::out() << uid.text() << '\n';
    return AVBFile::isRefused(status) ? CliIO::Unreadable : CliIO::Success;
}

} // namespace

int BinCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    if (parser.positionalArguments().isEmpty())
        return CliOptions::usageError(CliOptions::Bin, QStringLiteral("no FILE given"));
    int status = CliIO::Success;
    for (const QString &path : parser.positionalArguments())
        status = std::max(status, printBin(path, parser.isSet(QStringLiteral("dump"))));
    CliIO::out() << Qt::flush;
    return status;
}
