#include "platform/VeskContentHash.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

// Digests as `xxhsum -H2` prints them.
TEST(ContentHash, MatchesTheReferenceDigestsInPiecesAndFromFiles)
{
    EXPECT_EQ(VeskContentHash().hex().toStdString(), "99aa06d3014798d86001c324468d497f");

    TestFiles files;
    QByteArray bytes(3 << 20, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + (i >> 12));
    VeskContentHash pieces;
    for (qsizetype at = 0; at < bytes.size(); at += 100000)
        pieces.add(bytes.constData() + at, size_t(std::min<qsizetype>(100000, bytes.size() - at)));
    const QString path = files.write("a.mxf", bytes);
    EXPECT_EQ(VeskContentHash::ofFile(path, false), pieces.hex());
    EXPECT_EQ(VeskContentHash::ofFile(path, true), pieces.hex());

    int calls = 0;
    QString error;
    EXPECT_FALSE(VeskContentHash::ofFile(
        path, false, [&](int64_t) { return ++calls < 2; }, &error));
    EXPECT_EQ(error, "Operation was cancelled");
    const QString fifo = files.path() + "/fifo.mxf";
    ASSERT_EQ(mkfifo(fifo.toUtf8().constData(), 0600), 0);
    EXPECT_FALSE(VeskContentHash::ofFile(fifo, false, {}, &error));
    EXPECT_EQ(error, "Not a regular file");
}
