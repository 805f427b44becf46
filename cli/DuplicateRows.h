#pragma once

#include "model/VeskColumns.h"
#include "model/VeskDuplicates.h"
#include "report/ExportMenuTexts.h"

#include <QTextStream>

#include <optional>
#include <vector>

class VeskNameTables;

/// What vesk-cli duplicates prints of the groups: one JSON object per group, or for
/// CSV and the terminal table one row per copy, its group's fields repeated.
class DuplicateRows : public ExportMenuProtocol {
public:
    DuplicateRows(const std::vector<VeskDuplicates::Group> &groups, const std::optional<VeskDuplicates::KeepRule> &keep,
        const VeskNameTables &tables, bool bytes);

    /// One JSON object per group, a line each.
    void writeJsonLines(QTextStream &out) const;
    /// The rows with every field, or for the terminal only the ones that fit on it.
    ExportTable exportTable(bool forTerminal) const;
    std::optional<QString> NSStringValueForTableColumn(
        const QString &tableId, const QString &field, uint64_t row) const override;

private:
    struct Row {
        size_t group;
        size_t copy;
    };
    std::optional<QString> text(const VeskDatabaseItem &item, VeskColumnID column) const;
    QString sizeText(uint64_t size) const;

    const std::vector<VeskDuplicates::Group> &m_groups;
    const VeskNameTables &m_tables;
    const bool m_bytes;
    std::vector<std::optional<size_t>> m_kept; // per group
    std::vector<Row> m_rows;
};
