#include "report/ExportMenuTexts.h"

namespace {

QString quoted(const QString &field)
{
    QString text = field;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

const char kHtmlHead[]
    = "<!DOCTYPE HTML>     <html>     <head>     "
      "<meta http-equiv='Content-Type' content='text/html; charset=utf-8'/>     "
      "<script type='text/javascript' src='https://code.jquery.com/jquery-2.0.0.min.js'></script>     "
      "<script type='text/javascript' "
      "src='https://cdn.datatables.net/1.10.7/js/jquery.dataTables.min.js'></script>     "
      "<script>     $(document).ready(function () {        $('#resultTb').dataTable({            "
      "'paging': false,            'info': false        });    });     </script>     "
      "<link rel='stylesheet' type='text/css' "
      "href='https://cdn.datatables.net/1.10.7/css/jquery.dataTables.min.css'>     "
      "<style type='text/css'>     td {         max-width: 400px;         word-wrap:break-word;     }     "
      "</style>     </head>     <body><h1>";
const char kHtmlTableStart[] = "</h1>     <div>     <table id='resultTb' class='display cell-border' "
                               "cellspacing='0' width=100%>      <thead>     <tr>     ";

} // namespace

QString ExportMenuTexts::genCsv(const ExportTable &table, const ExportMenuProtocol &source, const QString &separator)
{
    QStringList fields;
    for (const QString &title : table.columnTitles)
        fields.push_back(quoted(title));
    QString csv = fields.join(separator) + QLatin1Char('\n');
    for (uint64_t row = 0; row < table.rowCount; ++row) {
        fields.clear();
        for (const QString &column : table.columnIds)
            fields.push_back(
                quoted(source.NSStringValueForTableColumn(table.identifier, column, row).value_or(QString())));
        csv += fields.join(separator) + QLatin1Char('\n');
    }
    return csv;
}

QString ExportMenuTexts::genHtml(const ExportTable &table, const ExportMenuProtocol &source)
{
    QString html = QLatin1String(kHtmlHead) + table.windowTitle + QLatin1String(kHtmlTableStart);
    for (const QString &title : table.columnTitles)
        html += QLatin1String("<th>") + stringByEncodingXMLEntities(title) + QLatin1String("</th>");
    html += QLatin1String("</tr></thead><tbody>");
    for (uint64_t row = 0; row < table.rowCount; ++row) {
        html += QLatin1String("<tr>");
        for (const QString &column : table.columnIds)
            html += QLatin1String("<td>")
                + stringByEncodingXMLEntities(
                    source.NSStringValueForTableColumn(table.identifier, column, row).value_or(QString()))
                + QLatin1String("</td>");
        html += QLatin1String("</tr>");
    }
    return html + QLatin1String("</tbody></table></div></body></html>");
}

QString ExportMenuTexts::stringByEncodingXMLEntities(const QString &text)
{
    QString encoded = text.isNull() ? QStringLiteral("") : text;
    encoded.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    encoded.replace(QLatin1Char('\''), QLatin1String("&apos;"));
    encoded.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    encoded.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    encoded.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return encoded;
}

QString ExportMenuTexts::viewAsHtmlFileName(const QDateTime &localTime)
{
    return localTime.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1String("export.html");
}
