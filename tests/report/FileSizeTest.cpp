#include "report/VeskFileSize.h"

#include <gtest/gtest.h>

#include <limits>

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
