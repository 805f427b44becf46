#include "CliTable.h"

#include <gtest/gtest.h>

// The widest text column gives way first; numbers keep their width; control
// characters of crafted names never reach the terminal.
TEST(CliTable, NarrowsTextColumnsToTheWidthAndKeepsBothEndsOfTexts)
{
    CliTable table({ { "Name" }, { "Size", CliTable::Kind::Number }, { "Path" } });
    table.addRow({ "a\x1b]0;x\x07", "12", "/very/long/path/to/some/folder/file.mxf" });
    table.addRow({ "clip", "3456789", "/short" });
    // As narrow as the columns go.
    EXPECT_EQ(table.layout(10),
        "Name       Size  Path\n"
        "a?…;x?       12  /v…mxf\n"
        "clip    3456789  /short\n");
    // An ellipsis never splits a character outside the basic plane.
    EXPECT_EQ(CliTable::elide("\U0001F600\U0001F600\U0001F600", 4), "…\U0001F600");
}
