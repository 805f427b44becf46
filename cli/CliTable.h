#pragma once

#include <QString>
#include <QStringList>

#include <vector>

/// Rows laid out in aligned columns for a terminal of a given width: the widest text
/// columns are narrowed, and texts that no longer fit lose their middle to an
/// ellipsis, so that both ends of a path stay readable.
class CliTable {
public:
    /// Numbers are right-aligned; numbers and dates keep their width, since an
    /// ellipsis would falsify them.
    enum class Kind { Text, Number, Date };
    struct Column {
        QString title;
        Kind kind = Kind::Text;
    };

    explicit CliTable(std::vector<Column> columns);
    void addRow(const QStringList &cells);
    /// The title line and the rows, each line at most width characters where the
    /// columns can be narrowed that far, without trailing blanks.
    QString layout(int width) const;

    /// The width of the terminal on standard output; COLUMNS or 80 without one.
    static int terminalWidth();
    /// The text shortened to width characters by replacing its middle with "…".
    static QString elide(const QString &text, int width);

private:
    std::vector<int> columnWidths(int width) const;
    QString line(const QStringList &cells, const std::vector<int> &widths) const;

    std::vector<Column> m_columns;
    std::vector<QStringList> m_rows;
};
