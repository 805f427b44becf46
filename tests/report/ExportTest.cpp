#include "report/ExportMenuTexts.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class GridSource : public ExportMenuProtocol {
public:
    std::optional<QString> NSStringValueForTableColumn(
        const QString &, const QString &columnId, uint64_t row) const override
    {
        const auto found = cells.find({ columnId, row });
        return found == cells.end() ? std::nullopt : std::optional<QString>(found->second);
    }
    std::map<std::pair<QString, uint64_t>, QString> cells;
};

ExportTable table(uint64_t rows)
{
    return { "DatabaseTableID", "Media <1>", { "Name", "Size" }, { "Name", "Si\"ze" }, rows };
}

} // namespace

TEST(Export, CsvQuotesEveryFieldAndSeparatesThem)
{
    GridSource source;
    source.cells[{ "Name", 0 }] = "say \"hi\"; now";
    EXPECT_EQ(ExportMenuTexts::genCsv(table(0), source, ";"), "\"Name\";\"Si\"\"ze\"\n");
    EXPECT_EQ(ExportMenuTexts::genCsv(table(1), source, ","), "\"Name\",\"Si\"\"ze\"\n\"say \"\"hi\"\"; now\",\"\"\n");
}

TEST(Export, HtmlEncodesCellsButNotTheTitle)
{
    GridSource source;
    source.cells[{ "Name", 0 }] = "a<b & c's &lt;";
    const QString html = ExportMenuTexts::genHtml(table(1), source);
    EXPECT_TRUE(html.startsWith("<!DOCTYPE HTML>     <html>     <head>     "));
    EXPECT_TRUE(html.contains("<body><h1>Media <1></h1>"));
    EXPECT_TRUE(html.contains("width=100%>"));
    EXPECT_TRUE(html.contains(QStringLiteral("<th>Name</th><th>Si&quot;ze</th></tr></thead><tbody>"
                                             "<tr><td>a&lt;b &amp; c&apos;s &amp;lt;</td><td></td></tr>"
                                             "</tbody></table></div></body></html>")));
    EXPECT_FALSE(html.contains(QLatin1Char('\n')));
    EXPECT_TRUE(ExportMenuTexts::genHtml(table(0), source).contains("<tbody></tbody>"));
}
