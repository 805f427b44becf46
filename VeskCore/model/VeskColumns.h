#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

/// The columns of the store's tables as the code switches on them. The texts in
/// VeskColumn::identifier are what settings, exports and the command line store.
enum class VeskColumnID : uint8_t {
    Unknown,
    // database table
    Icon,
    Filename,
    Clipname,
    Project,
    Size,
    Date,
    Compression,
    Framerate,
    Samplerate,
    Bits,
    Kind,
    Path,
    Exists,
    FilePackageUID,
    MaterialPackageUID,
    Hash,
    SourceFileID,
    SourceTapeID,
    UsedByBins,
    // project tables
    Count,
    Check,
    // database summary
    ItemsInDatabase,
    ProjectsCount,
    FilteredItems,
    SelectedItems,
    FilteredSize,
    SelectedSize,
};

/// A column of one of the store's tables: identifier, header title, sort key and the
/// name the command line and its JSON fields use.
struct VeskColumn {
    QString identifier;
    QString title;
    QString sortKey; ///< empty when the column does not sort
    VeskColumnID id = VeskColumnID::Unknown;
    QString name; ///< empty for the columns only the screen shows
};

/// The columns of the store's tables in their default order.
class VeskColumns {
public:
    static const std::vector<VeskColumn> &databaseColumns();
    static const std::vector<VeskColumn> &projectSummaryColumns();
    static const std::vector<VeskColumn> &projectFilterColumns();
    static const std::vector<VeskColumn> &databaseSummaryColumns();
    /// The names of the columns in table order, leaving out those without one.
    static QStringList names(const std::vector<VeskColumn> &columns);
    /// The names of the database columns that sort, in table order.
    static QStringList sortKeyNames();
    /// The column a name names, in any case; a column's identifier and sort key are
    /// accepted too, as older names of it. Null for none.
    static const VeskColumn *columnNamed(const std::vector<VeskColumn> &columns, const QString &name);
    /// The column an identifier of any table names; Unknown for none.
    static VeskColumnID columnID(const QString &identifier);
    /// The database column a sort key (a name or an alias, as columnNamed reads it)
    /// orders by; Unknown for a key no sorting column has.
    static VeskColumnID sortColumn(const QString &sortKey);
};

/// Table identifiers.
namespace VeskTableID {
inline const QString Database = QStringLiteral("DatabaseTableID");
inline const QString ProjectSummary = QStringLiteral("ProjectSummaryID");
inline const QString ProjectFilter = QStringLiteral("ProjectFilterID");
inline const QString DatabaseSummary = QStringLiteral("DatabaseSummaryID");
} // namespace VeskTableID
