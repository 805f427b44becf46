#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

/// Answers the export text of one cell of a table, or none.
class ExportMenuProtocol {
public:
    virtual ~ExportMenuProtocol() = default;
    virtual std::optional<QString> NSStringValueForTableColumn(
        const QString &tableId, const QString &columnId, uint64_t row) const = 0;
};

/// What an export reads of a table: its columns in their current order (hidden ones
/// included), their header titles, the number of rows and the window title.
struct ExportTable {
    QString identifier;
    QString windowTitle;
    QStringList columnIds;
    QStringList columnTitles;
    uint64_t rowCount = 0;
};

/// The texts of a table export: CSV with any separator, and an HTML page whose table
/// the browser can sort and search.
class ExportMenuTexts {
public:
    /// Every field quoted, quotes doubled; fields separated by the separator, each line
    /// ended by "\n".
    static QString genCsv(const ExportTable &table, const ExportMenuProtocol &source, const QString &separator);
    static QString genHtml(const ExportTable &table, const ExportMenuProtocol &source);
    static QString stringByEncodingXMLEntities(const QString &text);
    /// "yyyyMMdd-HHmmss" followed by "export.html".
    static QString viewAsHtmlFileName(const QDateTime &localTime);
};
