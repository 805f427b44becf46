#pragma once

#include "model/VeskDatabaseItem.h"
#include "model/VeskSorter.h"

#include <QCommandLineParser>
#include <QStringList>

#include <vector>

class VeskCore;

/// The options that choose and narrow the media rows: what to scan, bin operations,
/// filter, sort and the settings for this run. Shared by every command that works
/// on scanned media.
class ScanOptions {
public:
    /// What the rows are for: before an action a bin that references no media stops the
    /// command unless --allow-empty-bins is given; a listing only warns.
    enum Purpose { ForListing, ForActions };

    explicit ScanOptions(Purpose purpose = ForListing);
    void addTo(QCommandLineParser &parser);
    /// Reads the parsed values; an error text for wrong usage, empty when fine.
    QString read(const QCommandLineParser &parser, const QStringList &arguments);
    /// Reads the bins (a bin that cannot be read, is not a bin or is damaged stops here
    /// with the usage status), scans, de-duplicates and rebuilds, then runs the bin
    /// operations, the filter and the sort. Returns the exit status: NothingMatched when
    /// no row is left and --fail-empty was given.
    int run(VeskCore &core);

private:
    struct BinOperation {
        enum class Kind { Intersect, Subtract, Add } kind;
        QStringList bins;
        std::vector<VeskItemRef> probes;
    };
    int readBins();
    void applyBinOperations(VeskCore &core) const;
    void scan(VeskCore &core) const;
    void waitForScanners() const;
    void applyFilter(VeskCore &core) const;

    QCommandLineOption m_volume { QStringLiteral("volume"), QStringLiteral("Each PATH is a volume root.") };
    std::vector<QCommandLineOption> m_flags;
    QCommandLineOption m_search { QStringLiteral("search"), QStringLiteral("Show only rows containing TEXT."),
        QStringLiteral("TEXT") };
    QCommandLineOption m_project { QStringLiteral("project"), QStringLiteral("Show only project NAME (repeatable)."),
        QStringLiteral("NAME") };
    QCommandLineOption m_sort { QStringLiteral("sort"), QStringLiteral("Sort by KEY[:desc], up to three times."),
        QStringLiteral("KEY") };
    QCommandLineOption m_noMDB { QStringLiteral("no-mdb"), QStringLiteral("Do not read media databases.") };
    QCommandLineOption m_noMXF { QStringLiteral("no-mxf"), QStringLiteral("Do not open MXF files.") };
    QCommandLineOption m_failEmpty { QStringLiteral("fail-empty"),
        QStringLiteral("Exit with status 3 when no row is left.") };
    QCommandLineOption m_showMissing { QStringLiteral("show-missing"),
        QStringLiteral("Show items whose file is missing.") };
    std::vector<QCommandLineOption> m_binOptions;
    QCommandLineOption m_allowEmptyBins { QStringLiteral("allow-empty-bins"),
        QStringLiteral("Act even when a bin references no media.") };
    const Purpose m_purpose;
    bool m_emptyBinsAllowed = false;

    QStringList m_paths;
    bool m_isVolume = false;
    bool m_failOnEmpty = false;
    std::vector<BinOperation> m_binOperations;
    std::vector<bool> m_flagValues;
    QString m_searchText;
    QStringList m_projects;
    std::vector<VeskSortDescriptor> m_descriptors;
};
