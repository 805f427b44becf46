#include "MxfCommand.h"

#include "CliIO.h"
#include "CliOptions.h"

#include "readers/VeskMXF.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject describe(const QString &path, bool *opened)
{
    VeskMXF reader;
    const QString log = CliIO::captureLog([&] { *opened = reader.openFile(path, nullptr); });
    QJsonObject line { { QStringLiteral("path"), path } };
    if (reader.info().isEmpty()) {
        const QString reason = log.trimmed().section(QLatin1Char('\n'), -1);
        line.insert(
            QStringLiteral("error"), *opened && !reason.isEmpty() ? reason : QStringLiteral("cannot open the file"));
        return line;
    }
    VeskDatabaseItem item;
    reader.addInfoToItem(item);
    line.insert(QStringLiteral("clipName"), item.DB_NameInBin());
    line.insert(QStringLiteral("project"), item.DB_ProjectName().isNull() ? QJsonValue() : item.DB_ProjectName());
    line.insert(QStringLiteral("fileUID"), item.getFileUIDString());
    line.insert(QStringLiteral("materialUID"), item.getMaterialUIDString());
    return line;
}

} // namespace

int MxfCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    if (parser.positionalArguments().isEmpty())
        return CliOptions::usageError(CliOptions::Mxf, QStringLiteral("no FILE given"));
    int status = CliIO::Success;
    for (const QString &path : parser.positionalArguments()) {
        bool opened = false;
        const QJsonObject line = describe(path, &opened);
        if (!opened)
            CliIO::error(QStringLiteral("cannot read %1").arg(path));
        // A file that gave none of its information was not read, whatever the reason.
        if (line.contains(QStringLiteral("error")))
            status = CliIO::Unreadable;
        CliIO::out() << QJsonDocument(line).toJson(QJsonDocument::Compact) << '\n';
    }
    CliIO::out() << Qt::flush;
    return status;
}
