#pragma once

#include "model/VeskBinUsage.h"
#include "model/VeskDatabaseItem.h"
#include "model/VeskSorter.h"

#include <QCommandLineParser>
#include <QStringList>

#include <optional>
#include <vector>

class VeskCore;

/// The options that choose and narrow the media rows: what to scan, bin operations,
/// filter, sort and the settings for this run. Shared by every command that works
/// on scanned media; the options themselves are declared in CliOptions.
class ScanOptions {
public:
    /// What the rows are for: before an action a bin that references no media stops the
    /// command unless --allow-empty-bins is given; a listing only warns.
    enum Purpose { ForListing, ForActions };

    explicit ScanOptions(Purpose purpose = ForListing);
    /// Reads the parsed values; an error text for wrong usage, empty when fine.
    QString read(const QCommandLineParser &parser, const QStringList &arguments);
    /// Reads the bins (a bin that cannot be read, is not a bin or is damaged stops here
    /// with the usage status), scans, de-duplicates and rebuilds, then runs the bin
    /// operations, the filter and the sort. Returns the exit status: NothingMatched when
    /// no row is left and --fail-empty was given.
    int run(VeskCore &core);
    /// The bins (.avb) in the folder, sorted, with recursive in every folder below it.
    static QStringList binsIn(const QString &folder, bool recursive);

private:
    struct BinOperation {
        enum class Kind { Intersect, Subtract, Add } kind;
        QString path; // a bin, or a folder of bins
        bool recursive = false;
        std::vector<VeskItemRef> probes;
        VeskProbeBins bins;
    };
    QString readBinOperations(const QCommandLineParser &parser, const QStringList &arguments);
    QString readSorts(const QStringList &sorts);
    int readBins();
    int readBin(const QString &path, BinOperation &operation, bool warnWhenEmpty) const;
    void applyBinOperations(VeskCore &core) const;
    void scan(VeskCore &core) const;
    void waitForScanners() const;
    void applyFilter(VeskCore &core) const;
    int keepListedPaths(VeskCore &core) const;

    const Purpose m_purpose;
    bool m_emptyBinsAllowed = false;

    QStringList m_paths;
    bool m_isVolume = false;
    bool m_quiet = false;
    bool m_failOnEmpty = false;
    std::optional<QString> m_pathsFrom;
    std::vector<BinOperation> m_binOperations;
    std::vector<bool> m_flagValues;
    QString m_searchText;
    QStringList m_projects;
    std::vector<VeskSortDescriptor> m_descriptors;
};
