#include "report/ExportMenuTexts.h"
#include "report/VeskFileSize.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>
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

struct SizeCase {
    double value;
    const char *decimal;
    const char *binary;
};

TEST(FileSize, FormatsBothScalesUpToTheLargestByteCount)
{
    const SizeCase cases[] = {
        { 0, "0 byte", "0 byte" },
        { 1, "1 byte", "1 byte" },
        { 2, "   2 bytes", "   2 bytes" },
        { 999, " 999 bytes", " 999 bytes" },
        { 1000, "1000.00 bytes", "1000 bytes" },
        { 1001, "1.00 kB", "1001 bytes" },
        { 1024, "1.02 kB", "1024.00 bytes" },
        { 1500, "1.50 kB", "1.46 KiB" },
        { 1536, "1.54 kB", "1.50 KiB" },
        { 1000000, "1000.00 kB", "976.56 KiB" },
        { double(std::numeric_limits<uint64_t>::max()), "18.45 EB", "16.00 EiB" },
    };
    for (const SizeCase &c : cases) {
        EXPECT_EQ(VeskFileSize::toHumanBytes(c.value).toStdString(), c.decimal) << c.value;
        EXPECT_EQ(VeskFileSize::toHumanBytes_2(c.value).toStdString(), c.binary) << c.value;
    }
    EXPECT_EQ(VeskFileSize(1536).description().toStdString(), "1.54 kB");
}
