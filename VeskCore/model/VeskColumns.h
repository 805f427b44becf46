#pragma once

#include <QString>

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

/// A column of one of the store's tables: identifier, header title and sort key.
struct VeskColumn {
    QString identifier;
    QString title;
    QString sortKey; ///< empty when the column does not sort
    VeskColumnID id = VeskColumnID::Unknown;
};

/// The columns of the store's tables in their default order.
class VeskColumns {
public:
    static const std::vector<VeskColumn> &databaseColumns();
    static const std::vector<VeskColumn> &projectSummaryColumns();
    static const std::vector<VeskColumn> &projectFilterColumns();
    static const std::vector<VeskColumn> &databaseSummaryColumns();
    /// The column of the database table with this identifier, or null.
    static const VeskColumn *databaseColumn(const QString &identifier);
    /// The column an identifier of any table names; Unknown for none.
    static VeskColumnID columnID(const QString &identifier);
    /// The database column a sort key orders by; Unknown for a key no column has.
    static VeskColumnID sortColumn(const QString &sortKey);
};

/// Table identifiers.
namespace VeskTableID {
inline const QString Database = QStringLiteral("DatabaseTableID");
inline const QString ProjectSummary = QStringLiteral("ProjectSummaryID");
inline const QString ProjectFilter = QStringLiteral("ProjectFilterID");
inline const QString DatabaseSummary = QStringLiteral("DatabaseSummaryID");
} // namespace VeskTableID
