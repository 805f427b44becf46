#include "ScanOptions.h"

#include "CliIO.h"

#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"
#include "readers/AVBFile.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

namespace {

const char *const kFlagNames[] = { "precomputes", "imported", "audio", "non-portable", "bad-umid", "unreferenced" };
const char *const kBinOptionNames[] = { "intersect", "subtract", "add" };
// Where a volume keeps its media folders.
const char *const kVolumeLocations[] = { "Avid MediaFiles/MXF", "MXF/MXF", "OMFI MediaFiles" };

} // namespace

ScanOptions::ScanOptions(Purpose purpose)
    : m_purpose(purpose)
{
    for (const char *name : kFlagNames)
        m_flags.emplace_back(QString::fromLatin1(name), QStringLiteral("Show only %1 media.").arg(QLatin1String(name)));
    for (const char *name : kBinOptionNames)
        m_binOptions.emplace_back(QString::fromLatin1(name),
            QStringLiteral("Bin operation with BIN[,BIN...] (repeatable, in order)."), QStringLiteral("BINS"));
}

void ScanOptions::addTo(QCommandLineParser &parser)
{
    parser.addOption(m_volume);
    for (const QCommandLineOption &option : m_binOptions)
        parser.addOption(option);
    if (m_purpose == ForActions)
        parser.addOption(m_allowEmptyBins);
    for (const QCommandLineOption &option : m_flags)
        parser.addOption(option);
    parser.addOptions({ m_search, m_project, m_sort, m_noMDB, m_noMXF, m_showMissing, m_failEmpty });
    parser.addPositionalArgument(
        QStringLiteral("PATH"), QStringLiteral("Media folders or files to scan."), QStringLiteral("PATH..."));
}

QString ScanOptions::read(const QCommandLineParser &parser, const QStringList &arguments)
{
    m_paths = parser.positionalArguments();
    if (m_paths.isEmpty())
        return QStringLiteral("no PATH given");
    m_isVolume = parser.isSet(m_volume);
    m_failOnEmpty = parser.isSet(m_failEmpty);
    m_emptyBinsAllowed = m_purpose == ForActions && parser.isSet(m_allowEmptyBins);
    m_flagValues.clear();
    for (const QCommandLineOption &option : m_flags)
        m_flagValues.push_back(parser.isSet(option));
    m_searchText = parser.value(m_search);
    m_projects = parser.values(m_project);
    // Bin operations run in the order given across the three options, so read them
    // from the arguments themselves.
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        for (int kind = 0; kind < 3; ++kind) {
            const QString name = QStringLiteral("--") + QLatin1String(kBinOptionNames[kind]);
            QString value;
            if (arguments[i] == name && i + 1 < arguments.size())
                value = arguments[++i];
            else if (arguments[i].startsWith(name + QLatin1Char('=')))
                value = arguments[i].mid(name.size() + 1);
            else
                continue;
            const QStringList bins = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
            // An operation without a bin would protect nothing while seeming to.
            if (bins.isEmpty())
                return QStringLiteral("%1 needs at least one BIN").arg(name);
            m_binOperations.push_back({ BinOperation::Kind(kind), bins, {} });
        }
    }
    const QStringList sorts = parser.values(m_sort);
    if (sorts.size() > 3)
        return QStringLiteral("--sort may be given at most three times");
    for (const QString &sort : sorts) {
        const QStringList parts = sort.split(QLatin1Char(':'));
        if (!VeskSorter::isKnownKey(parts[0]) || parts.size() > 2
            || (parts.size() == 2 && parts[1] != QLatin1String("desc") && parts[1] != QLatin1String("asc")))
            return QStringLiteral("unknown sort key: %1").arg(sort);
        m_descriptors.push_back({ parts[0], parts.size() == 1 || parts[1] == QLatin1String("asc") });
    }
    VeskSettings &settings = VeskSettings::shared();
    if (parser.isSet(m_noMDB))
        settings.setValue(QStringLiteral("ScanMDB"), 0);
    if (parser.isSet(m_noMXF))
        settings.setValue(QStringLiteral("ScanMXF"), 0);
    if (parser.isSet(m_showMissing))
        settings.setValue(QStringLiteral("ShowOnlyExistingFiles"), 0);
    return {};
}

int ScanOptions::run(VeskCore &core)
{
    for (const QString &path : m_paths) {
        if (!QFileInfo::exists(path)) {
            CliIO::error(QStringLiteral("cannot read %1: no such file or folder").arg(path));
            return CliIO::Unreadable;
        }
    }
    if (const int status = readBins(); status != CliIO::Success)
        return status;
    scan(core);
    core.makeUnique();
    core.LoadDefaults();
    applyBinOperations(core);
    applyFilter(core);
    return m_failOnEmpty && core.getFilteredIndexesCount() == 0 ? CliIO::NothingMatched : CliIO::Success;
}

// Every bin is read once, before the scan, and its references are kept for the
// operation: a bin that says nothing for being damaged would let every row through
// a subtraction.
int ScanOptions::readBins()
{
    bool anyEmpty = false;
    for (BinOperation &operation : m_binOperations) {
        for (const QString &path : operation.bins) {
            AVBFile bin;
            const AVBFile::Status status = bin.readBin(path);
            if (AVBFile::isRefused(status)) {
                CliIO::error(AVBFile::statusText(status, path));
                return CliIO::Usage;
            }
            if (status == AVBFile::Status::NoReferences) {
                CliIO::warning(AVBFile::statusText(status, path));
                anyEmpty = true;
            }
            const std::vector<VeskItemRef> probes = bin.probes();
            operation.probes.insert(operation.probes.end(), probes.begin(), probes.end());
        }
    }
    if (anyEmpty && m_purpose == ForActions && !m_emptyBinsAllowed) {
        CliIO::error(QStringLiteral("a bin that references no media protects nothing; "
                                    "give --allow-empty-bins to act anyway"));
        return CliIO::Usage;
    }
    return CliIO::Success;
}

void ScanOptions::applyBinOperations(VeskCore &core) const
{
    for (const BinOperation &operation : m_binOperations) {
        if (operation.kind == BinOperation::Kind::Intersect)
            core.applyFilter(operation.probes);
        else if (operation.kind == BinOperation::Kind::Subtract)
            core.applyFilterSubtract(operation.probes);
        else
            core.applyFilterAdd(operation.probes);
    }
}

void ScanOptions::scan(VeskCore &core) const
{
    for (const QString &path : m_paths) {
        if (!m_isVolume) {
            VeskScanner(core).AddFile(path);
            continue;
        }
        for (const char *location : kVolumeLocations) {
            const QString folder = path + QLatin1Char('/') + QLatin1String(location);
            if (VeskDirectory::isFolder(folder))
                VeskScanner(core).AddFile(folder);
        }
    }
    waitForScanners();
}

// Scanners hand progress to the main thread, so this thread keeps serving it while
// it waits, and shows the status line on a terminal.
void ScanOptions::waitForScanners() const
{
    VeskOperationQueue &queue = VeskPMRScannerOperation::opQueue();
    const bool showProgress = CliIO::stderrIsTerminal();
    while (queue.operationCount() > 0) {
        QCoreApplication::processEvents();
        if (showProgress)
            CliIO::err() << "\r\033[K" << queue.operationCount()
                         << " folders to scan: " << VeskStatusViewController::getTheController()->text().right(60)
                         << Qt::flush;
        QThread::msleep(50);
    }
    queue.waitUntilAllOperationsAreFinished();
    if (showProgress)
        CliIO::err() << "\r\033[K" << Qt::flush;
}

void ScanOptions::applyFilter(VeskCore &core) const
{
    VeskFilter &filter = VeskFilter::sharedFilter();
    filter.setFilterFlagPrecomputes(m_flagValues[0]);
    filter.setFilterFlagImportedMedia(m_flagValues[1]);
    filter.setFilterFlagAudioMedia(m_flagValues[2]);
    filter.setFilterFlagNonPortableFiles(m_flagValues[3]);
    filter.setFilterFlagBadUMID(m_flagValues[4]);
    filter.setFilterFlagUnreferenced(m_flagValues[5]);
    filter.setFilterString(m_searchText);
    if (!m_projects.isEmpty())
        for (uint64_t row = 0; row < core.getProjectsCount(); ++row)
            core.projectAtIndex(row)->setMustBeShownInList(m_projects.contains(core.projectAtIndex(row)->name()));
    core.prepareProjectsSummary();
    core.sortUsingDescriptors(m_descriptors);
    core.applyFilter();
}
