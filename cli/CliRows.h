#pragma once

#include "report/ExportMenuTexts.h"

#include <QJsonValue>
#include <QStringList>

class VeskCore;
struct VeskColumn;

/// The rows vesk-cli prints of the store: the media rows of the database table, or the
/// project summary. Fields go by one set of names: typed values for JSON (integer
/// bytes, ISO 8601 UTC dates, booleans, null for no value), the table's display texts
/// for CSV, HTML and the terminal table.
class CliRows : public ExportMenuProtocol {
public:
    enum class Table { Media, Summary };

    CliRows(const VeskCore &core, Table table, bool bytes);

    /// Every field name of a media row, in the default order.
    static QStringList mediaFieldNames();
    /// Every field name of a summary row.
    static QStringList summaryFieldNames();
    /// The field name a name or an older alias of it (a column identifier or sort key)
    /// stands for; empty when the table has no such field.
    QString fieldName(const QString &nameOrAlias) const;

    /// The rows with these fields; the fields are the ExportTable's column ids.
    ExportTable exportTable(const QStringList &fields) const;
    /// One JSON object per row and line, its keys in the order of the table's fields.
    QString jsonLines(const ExportTable &table) const;
    QJsonValue value(const QString &field, uint64_t row) const;
    /// The display text of a field; with bytes, sizes as whole numbers of bytes.
    std::optional<QString> NSStringValueForTableColumn(
        const QString &tableId, const QString &field, uint64_t row) const override;

private:
    QJsonValue value(const VeskColumn *column, uint64_t row) const;

    const VeskCore &m_core;
    const Table m_table;
    const bool m_bytes;
};
