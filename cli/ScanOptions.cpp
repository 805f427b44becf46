#include "ScanOptions.h"

#include "CliIO.h"

#include "model/VeskColumns.h"
#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileName.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"
#include "readers/AVBFile.h"
#include "scan/VeskPMRScannerOperation.h"
#include "scan/VeskScanner.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTimer>

namespace {

const char *const kFlagNames[] = { "precomputes", "imported", "audio", "non-portable", "bad-umid", "unreferenced" };
const char *const kBinOptionNames[] = { "intersect", "subtract", "add" };
// Where a volume keeps its media folders.
const char *const kVolumeLocations[] = { "Avid MediaFiles/MXF", "MXF/MXF", "OMFI MediaFiles" };

// The paths a list names: one per line, or the "path" of each JSON object line.
std::optional<QSet<QString>> listedPaths(const QString &source)
{
    QFile file(source);
    if (source == QLatin1String("-") ? !file.open(stdin, QIODevice::ReadOnly) : !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QSet<QString> paths;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith('{'))
            paths.insert(QJsonDocument::fromJson(line).object().value(QStringLiteral("path")).toString());
        else if (!line.isEmpty())
            paths.insert(QString::fromUtf8(line));
    }
    return paths;
}

} // namespace

ScanOptions::ScanOptions(Purpose purpose)
    : m_purpose(purpose)
{
}

QString ScanOptions::read(const QCommandLineParser &parser, const QStringList &arguments)
{
    m_paths = parser.positionalArguments();
    if (m_paths.isEmpty())
        return QStringLiteral("no PATH given");
    m_isVolume = parser.isSet(QStringLiteral("volume"));
    // Only the actions know --quiet; optionNames() holds the options given.
    m_quiet = parser.optionNames().contains(QStringLiteral("quiet"));
    m_failOnEmpty = parser.isSet(QStringLiteral("fail-empty"));
    m_pathsFrom.reset();
    if (parser.isSet(QStringLiteral("paths-from")))
        m_pathsFrom = parser.value(QStringLiteral("paths-from"));
    m_emptyBinsAllowed = m_purpose == ForActions && parser.isSet(QStringLiteral("allow-empty-bins"));
    m_flagValues.clear();
    for (const char *name : kFlagNames)
        m_flagValues.push_back(parser.isSet(QString::fromLatin1(name)));
    m_searchText = parser.value(QStringLiteral("search"));
    m_projects = parser.values(QStringLiteral("project"));
    if (const QString problem = readBinOperations(parser, arguments); !problem.isEmpty())
        return problem;
    if (const QString problem = readSorts(parser.values(QStringLiteral("sort"))); !problem.isEmpty())
        return problem;
    VeskSettings &settings = VeskSettings::shared();
    if (parser.isSet(QStringLiteral("no-mdb")))
        settings.setValue(QStringLiteral("ScanMDB"), 0);
    if (parser.isSet(QStringLiteral("no-mxf")))
        settings.setValue(QStringLiteral("ScanMXF"), 0);
    if (parser.isSet(QStringLiteral("show-missing")))
        settings.setValue(QStringLiteral("ShowOnlyExistingFiles"), 0);
    return {};
}

// Bin operations run in the order given across the three options, so they are read
// from the arguments themselves; each takes one path, since commas are part of names.
// --unused subtracts the bins of every --bins-from folder last.
QString ScanOptions::readBinOperations(const QCommandLineParser &parser, const QStringList &arguments)
{
    m_binOperations.clear();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--"))
            break;
        for (int kind = 0; kind < 3; ++kind) {
            const QString name = QStringLiteral("--") + QLatin1String(kBinOptionNames[kind]);
            if (arguments[i] == name && i + 1 < arguments.size())
                m_binOperations.push_back({ BinOperation::Kind(kind), arguments[++i], false, {}, {} });
            else if (arguments[i].startsWith(name + QLatin1Char('=')))
                m_binOperations.push_back(
                    { BinOperation::Kind(kind), arguments[i].mid(name.size() + 1), false, {}, {} });
        }
    }
    for (const BinOperation &operation : m_binOperations)
        if (operation.path.isEmpty()) // an operation without a bin would protect nothing while seeming to
            return QStringLiteral("--%1 needs a BIN").arg(QLatin1String(kBinOptionNames[int(operation.kind)]));
    const QStringList folders = parser.values(QStringLiteral("bins-from"));
    if (parser.isSet(QStringLiteral("unused")) != !folders.isEmpty())
        return QStringLiteral("--unused and --bins-from DIR go together");
    for (const QString &folder : folders) {
        if (!VeskDirectory::isFolder(folder))
            return QStringLiteral("--bins-from needs a folder: %1").arg(folder);
        m_binOperations.push_back({ BinOperation::Kind::Subtract, folder, true, {}, {} });
    }
    return {};
}

QString ScanOptions::readSorts(const QStringList &sorts)
{
    m_descriptors.clear();
    if (sorts.size() > 3)
        return QStringLiteral("--sort may be given at most three times");
    for (const QString &sort : sorts) {
        const QStringList parts = sort.split(QLatin1Char(':'));
        if (!VeskSorter::isKnownKey(parts[0]) || parts.size() > 2
            || (parts.size() == 2 && parts[1] != QLatin1String("desc") && parts[1] != QLatin1String("asc")))
            return QStringLiteral("unknown sort key: %1 (the keys: %2; KEY:desc sorts descending)")
                .arg(sort, VeskColumns::sortKeyNames().join(QStringLiteral(", ")));
        m_descriptors.push_back({ parts[0], parts.size() == 1 || parts[1] == QLatin1String("asc") });
    }
    return {};
}

// The bins in the folder, and with recursive in every folder below it (symbolic links
// to folders are not followed, so a loop cannot hold the search). "._" files are the
// resource forks other systems leave beside each bin, not bins.
QStringList ScanOptions::binsIn(const QString &folder, bool recursive)
{
    QStringList bins;
    QDirIterator it(folder, { QStringLiteral("*.avb") }, QDir::Files | QDir::Hidden,
        recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext())
        if (const QString bin = it.next(); !it.fileName().startsWith(QLatin1String("._")))
            bins << bin;
    bins.sort();
    return bins;
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
    if (const int status = keepListedPaths(core); status != CliIO::Success)
        return status;
    return m_failOnEmpty && core.getFilteredIndexesCount() == 0 ? CliIO::NothingMatched : CliIO::Success;
}

// Every bin is read once, before the scan, and its references are kept for the
// operation: a bin that says nothing for being damaged would let every row through
// a subtraction, and so would a bin without references or a folder without bins. In a
// folder of bins, an empty bin among others is common and harmless.
int ScanOptions::readBins()
{
    bool anyEmpty = false;
    for (BinOperation &operation : m_binOperations) {
        const bool isFolder = VeskDirectory::isFolder(operation.path);
        const QStringList bins
            = isFolder ? binsIn(operation.path, operation.recursive) : QStringList { operation.path };
        for (const QString &bin : bins)
            if (const int status = readBin(bin, operation, !isFolder); status != CliIO::Success)
                return status;
        if (isFolder && operation.probes.empty())
            CliIO::warning(bins.isEmpty() ? QStringLiteral("%1 holds no bins (.avb)").arg(operation.path)
                                          : QStringLiteral("the bins in %1 reference no media").arg(operation.path));
        anyEmpty = anyEmpty || operation.probes.empty();
    }
    if (anyEmpty && m_purpose == ForActions && !m_emptyBinsAllowed) {
        CliIO::error(QStringLiteral("a bin that references no media protects nothing; "
                                    "give --allow-empty-bins to act anyway"));
        return CliIO::Usage;
    }
    return CliIO::Success;
}

int ScanOptions::readBin(const QString &path, BinOperation &operation, bool warnWhenEmpty) const
{
    AVBFile bin;
    const AVBFile::Status status = bin.readBin(path);
    if (AVBFile::isRefused(status)) {
        CliIO::error(AVBFile::statusText(status, path));
        return CliIO::Usage;
    }
    if (status == AVBFile::Status::NoReferences && warnWhenEmpty)
        CliIO::warning(AVBFile::statusText(status, path));
    const std::vector<VeskItemRef> probes = bin.probes();
    operation.probes.insert(operation.probes.end(), probes.begin(), probes.end());
    operation.bins.addBin(path, operation.probes.size());
    return CliIO::Success;
}

void ScanOptions::applyBinOperations(VeskCore &core) const
{
    for (const BinOperation &operation : m_binOperations) {
        if (operation.kind == BinOperation::Kind::Intersect)
            core.applyFilter(operation.probes, operation.bins);
        else if (operation.kind == BinOperation::Kind::Subtract)
            core.applyFilterSubtract(operation.probes, operation.bins);
        else
            core.applyFilterAdd(operation.probes, operation.bins);
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

// Scanners hand progress to the main thread, so the wait keeps serving it; on a
// terminal, unless told to be quiet, a timer redraws the status line meanwhile.
void ScanOptions::waitForScanners() const
{
    VeskOperationQueue &queue = VeskPMRScannerOperation::opQueue();
    QTimer progress;
    if (CliIO::stderrIsTerminal() && !m_quiet) {
        QObject::connect(&progress, &QTimer::timeout, [&queue] {
            CliIO::err() << "\r\033[K" << queue.operationCount()
                         << " folders to scan: " << VeskStatusViewController::getTheController()->text().right(60)
                         << Qt::flush;
        });
        progress.start(100);
    }
    queue.waitUntilAllOperationsAreFinished();
    if (progress.isActive())
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

// Rows print a path as its display text; a list may give either form.
int ScanOptions::keepListedPaths(VeskCore &core) const
{
    if (!m_pathsFrom)
        return CliIO::Success;
    const std::optional<QSet<QString>> listed = listedPaths(*m_pathsFrom);
    if (!listed) {
        CliIO::error(QStringLiteral("cannot read the list of paths %1").arg(*m_pathsFrom));
        return CliIO::Unreadable;
    }
    VeskCore::ShownList shown;
    for (const uint32_t position : core.IndexesSortedFiltered()) {
        const VeskDatabaseItem &item = *core.ItemsUnsorted()[position];
        const QString path = item.DB_itemPath();
        if (listed->contains(path) || listed->contains(VeskFileName::displayDecoded(path))) {
            shown.positions.push_back(position);
            shown.size += item.DB_filesize().value_or(0);
        }
    }
    if (const qsizetype unmatched = listed->size() - qsizetype(shown.positions.size()); unmatched > 0)
        CliIO::warning(QStringLiteral("%1 of the listed paths are not among the media scanned").arg(unmatched));
    core.setShownList(std::move(shown));
    return CliIO::Success;
}
