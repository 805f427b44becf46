#include "VolumeWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

struct RateOption {
    const char *name;
    double VolumeWriter::Options::*field;
};

const RateOption kRates[] = {
    { "missing", &VolumeWriter::Options::missing },
    { "unlisted", &VolumeWriter::Options::unlisted },
    { "ama", &VolumeWriter::Options::ama },
    { "non-portable", &VolumeWriter::Options::nonPortable },
    { "bad-umid", &VolumeWriter::Options::badUMID },
    { "precomputes", &VolumeWriter::Options::precomputes },
    { "imported", &VolumeWriter::Options::imported },
    { "audio", &VolumeWriter::Options::audio },
    { "copies", &VolumeWriter::Options::copies },
};

struct CountOption {
    const char *name;
    const char *help;
    int VolumeWriter::Options::*field;
};

const CountOption kCounts[] = {
    { "folders", "Media folders (default 4).", &VolumeWriter::Options::folders },
    { "files", "Media files per folder (default 60).", &VolumeWriter::Options::files },
    { "projects", "Projects (default 3).", &VolumeWriter::Options::projects },
    { "bins", "Bins under Bins/ (default 3).", &VolumeWriter::Options::bins },
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Write a synthetic Avid volume with an expected.json."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("Where to write the volume."));
    for (const CountOption &count : kCounts)
        parser.addOption({ QString::fromLatin1(count.name), QString::fromLatin1(count.help), QStringLiteral("N") });
    for (const RateOption &rate : kRates)
        parser.addOption({ QString::fromLatin1(rate.name),
            QStringLiteral("Share of %1 media, 0 to 1.").arg(QLatin1String(rate.name)), QStringLiteral("RATE") });
    parser.addOption({ QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."), QStringLiteral("N") });
    parser.addOption({ QStringLiteral("mxf"), QStringLiteral("Write small real OP-Atom MXF files.") });
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        err << "vesk-mkvolume: give one DIR\nusage: vesk-mkvolume DIR [options]" << Qt::endl;
        return 2;
    }
    VolumeWriter::Options options;
    bool ok = true;
    for (const CountOption &count : kCounts)
        if (parser.isSet(QString::fromLatin1(count.name)))
            options.*count.field = parser.value(QString::fromLatin1(count.name)).toInt(&ok);
    for (const RateOption &rate : kRates)
        if (ok && parser.isSet(QString::fromLatin1(rate.name)))
            options.*rate.field = parser.value(QString::fromLatin1(rate.name)).toDouble(&ok);
    if (ok && parser.isSet(QStringLiteral("seed")))
        options.seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok || options.projects < 1 || options.folders < 0 || options.files < 0) {
        err << "vesk-mkvolume: numbers must be whole counts and rates between 0 and 1" << Qt::endl;
        return 2;
    }
    options.realMXF = parser.isSet(QStringLiteral("mxf"));
    QString error;
    if (!VolumeWriter(options).write(parser.positionalArguments().first(), &error)) {
        err << "vesk-mkvolume: " << error << Qt::endl;
        return 1;
    }
    return 0;
}
