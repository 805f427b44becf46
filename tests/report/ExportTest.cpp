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
    return { QStringLiteral("DatabaseTableID"), QStringLiteral("Media <1>"),
        { QStringLiteral("Name"), QStringLiteral("Size") }, { QStringLiteral("Name"), QStringLiteral("Si\"ze") },
        rows };
}

} // namespace

TEST(Export, CsvQuotesEveryFieldAndSeparatesThem)
{
    GridSource source;
    source.cells[{ QStringLiteral("Name"), 0 }] = QStringLiteral("say \"hi\"; now");
    EXPECT_EQ(
        ExportMenuTexts::genCsv(table(0), source, QStringLiteral(";")), QStringLiteral("\"Name\";\"Si\"\"ze\"\n"));
    EXPECT_EQ(ExportMenuTexts::genCsv(table(1), source, QStringLiteral(",")),
        QStringLiteral("\"Name\",\"Si\"\"ze\"\n\"say \"\"hi\"\"; now\",\"\"\n"));
}

TEST(Export, HtmlEncodesCellsButNotTheTitle)
{
    GridSource source;
    source.cells[{ QStringLiteral("Name"), 0 }] = QStringLiteral("a<b & c's &lt;");
    const QString html = ExportMenuTexts::genHtml(table(1), source);
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE HTML>     <html>     <head>     ")));
    EXPECT_TRUE(html.contains(QStringLiteral("<body><h1>Media <1></h1>")));
    EXPECT_TRUE(html.contains(QStringLiteral("width=100%>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<th>Name</th><th>Si&quot;ze</th></tr></thead><tbody>"
                                             "<tr><td>a&lt;b &amp; c&apos;s &amp;lt;</td><td></td></tr>"
                                             "</tbody></table></div></body></html>")));
    EXPECT_FALSE(html.contains(QLatin1Char('\n')));
    EXPECT_TRUE(ExportMenuTexts::genHtml(table(0), source).contains(QStringLiteral("<tbody></tbody>")));
}
