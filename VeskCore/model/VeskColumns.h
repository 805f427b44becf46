#pragma once

#include <QString>

#include <vector>

/// A column of one of the store's tables: identifier, header title and sort key.
struct VeskColumn {
    QString identifier;
    QString title;
    QString sortKey; ///< empty when the column does not sort
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
};

/// Table identifiers.
namespace VeskTableID {
inline const QString Database = QStringLiteral("DatabaseTableID");
inline const QString ProjectSummary = QStringLiteral("ProjectSummaryID");
inline const QString ProjectFilter = QStringLiteral("ProjectFilterID");
inline const QString DatabaseSummary = QStringLiteral("DatabaseSummaryID");
} // namespace VeskTableID
