#include "readers/PMRFile.h"

#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

QStringList readNames(PMRFile &reader)
{
    QStringList names;
    while (VeskItemRef item = reader.FillItem(std::make_shared<VeskDatabaseItem>()))
        names.append(item->DB_ClipName());
    return names;
}

// The UID as the item stores it: all 32 bytes, or 8 bytes at bytes 16 to 23.
QByteArray storedUID(const VeskUUID *uid, uint32_t words)
{
    const auto *bytes = reinterpret_cast<const char *>(uid->UMIDx.data());
    return words == 8 ? QByteArray(bytes, 32) : QByteArray(bytes + 16, 8);
}

} // namespace

TEST(MediaIndexReader, ReadsOneRecordAlikeInBothByteOrdersAndUIDSizes)
{
    const TestFiles files;
    for (const bool bigEndian : { false, true }) {
        for (const uint32_t words : { 8u, 2u }) {
            const MediaIndexRecord record { .clipName = "A001C003_230414X.mxf",
                .projectName = "Harbor",
                .fileUID = MediaIndexWriter::makeUID(words, 0x1122334455667788, false),
                .materialUID = MediaIndexWriter::makeUID(words, 0x1122334455667788, true) };
            const QString path = files.path() + QStringLiteral("/MXF/%1%2/msmFMID.pmr").arg(bigEndian).arg(words);
            ASSERT_TRUE(MediaIndexWriter().bigEndian(bigEndian).uidWords(words).record(record).writeTo(path));
            PMRFile reader;
            reader.dataWithContentsOfURL(path);
            ASSERT_EQ(reader.ItemsCount(), 1u);
            const VeskItemRef item = reader.FillItem(std::make_shared<VeskDatabaseItem>());
            ASSERT_TRUE(item);
            EXPECT_EQ(item->DB_SizeofUID(), words);
            EXPECT_EQ(item->DB_ClipName(), QStringLiteral("A001C003_230414X.mxf"));
            EXPECT_EQ(item->DB_ProjectName(), QStringLiteral("Harbor"));
            EXPECT_EQ(storedUID(item->DB_filePackageUID(), words), record.fileUID);
            EXPECT_EQ(storedUID(item->DB_materialPackageUID(), words), record.materialUID);
            EXPECT_TRUE(item->DB_isReferenced());
            EXPECT_TRUE(item->DB_isGoodUUID());
            // The kept record has its lengths in host order, so both byte orders keep the same bytes.
            const QByteArray recordBytes = MediaIndexWriter().uidWords(words).record(record).recordBytes(0);
            EXPECT_EQ(item->DB_pmrField(), recordBytes);
            // A UID read later from the media file does not change the kept record.
            item->setFileUIDWithNSData(QByteArray(32, '\x5a'));
            EXPECT_EQ(item->DB_pmrField(), recordBytes);
            EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>()));
        }
    }
}

// The header decides whether the file is read at all; the count it gives does not bound
// the pass, records are read while they are complete. With 8-byte UIDs a record can be
// shorter than the 29 bytes a record must have before the end of the file: such a last
// record is not read even though it is complete. A rejected record ends the pass for
// good: a further call must not resume inside it and take the bytes after its bad
// length for a record.
TEST(MediaIndexReader, HeaderRulesAndTheEndOfThePass)
{
    const MediaIndexWriter two = MediaIndexWriter().uidWords(2).record("a.mxf", "").record("b.mxf", "");
    const MediaIndexWriter base = MediaIndexWriter().uidWords(2).record("first.mxf", "Project");
    const QByteArray record28 = MediaIndexWriter(base).record("ab.c", "").bytes();
    ASSERT_EQ(record28.size() - base.bytes().size(), 28);
    const QByteArray hidden = MediaIndexWriter().record("hidden.mxf", "Project").recordBytes(0);
    const struct {
        const char *what;
        QByteArray bytes;
        uint32_t count;
        qsizetype read;
    } cases[] = {
        { "valid", two.bytes(), 2, 2 },
        { "magic 0", MediaIndexWriter(two).magic(0).bytes(), 0, 0 },
        { "magic byte-swapped", MediaIndexWriter(two).magic(0x07A90000).bytes(), 0, 0 },
        { "magic 1962", MediaIndexWriter(two).magic(1962).bytes(), 0, 0 },
        { "magic text", "XXXX" + two.bytes().mid(4), 0, 0 },
        { "UID words 0", MediaIndexWriter(two).uidWords(0).bytes(), 0, 0 },
        { "UID words 4", MediaIndexWriter(two).uidWords(4).bytes(), 0, 0 },
        { "UID words huge", MediaIndexWriter(two).uidWords(0x40000000u).bytes(), 0, 0 },
        { "UID words all ones", MediaIndexWriter(two).uidWords(0xFFFFFFFFu).bytes(), 0, 0 },
        { "29 bytes", two.bytes().left(29), 0, 0 },
        { "30 bytes", two.bytes().left(30), 2, 0 },
        { "count 0", MediaIndexWriter(two).count(0).bytes(), 0, 0 },
        { "count 1", MediaIndexWriter(two).count(1).bytes(), 1, 2 },
        { "count 5", MediaIndexWriter(two).count(5).bytes(), 5, 2 },
        { "count all ones", MediaIndexWriter(two).count(0xFFFFFFFF).bytes(), 0xFFFFFFFF, 2 },
        { "last record of 28 bytes", record28, 2, 1 },
        { "last record of 29 bytes", MediaIndexWriter(base).record("abc.d", "").bytes(), 2, 2 },
        { "rejected record",
            MediaIndexWriter()
                .record("first.mxf", "Project")
                .record({ .clipName = "a.mxf", .projectName = hidden, .projectNameLength = 65 })
                .bytes(),
            2, 1 },
    };
    for (const auto &c : cases) {
        PMRFile reader;
        reader.setData(c.bytes);
        EXPECT_EQ(reader.ItemsCount(), c.count) << c.what;
        EXPECT_EQ(readNames(reader).size(), c.read) << c.what;
        EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>())) << c.what;
    }
    const TestFiles files;
    for (const QString &path : { files.path() + QStringLiteral("/none.pmr"), files.path() }) {
        PMRFile reader;
        reader.dataWithContentsOfURL(path);
        EXPECT_EQ(reader.ItemsCount(), 0u);
        EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>()));
    }
}

// Each middle record is followed by the next and by enough bytes for any of its lengths
// to fit: a clip name that is no file name skips the record, a project name length out
// of range ends the pass.
TEST(MediaIndexReader, SkipsRecordsNamingNoFileAndStopsAtProjectLengthOutOfRange)
{
    struct Case {
        MediaIndexRecord record;
        qsizetype expected;
    };
    const Case cases[] = {
        { { .clipName = "", .projectName = "P" }, 2 },
        { { .clipName = ".", .projectName = "P" }, 2 },
        { { .clipName = "..", .projectName = "P" }, 2 },
        { { .clipName = "../../victim.mxf", .projectName = "P" }, 2 },
        { { .clipName = QByteArray("a\0b.mxf", 7), .projectName = "P" }, 2 },
        { { .clipName = QByteArray(256, 'c'), .projectName = "P" }, 2 },
        { { .clipName = "clip.mxf", .projectName = QByteArray(65, 'p') }, 1 },
        { { .clipName = "clip.mxf", .projectName = "P", .projectNameLength = 0xFFFF }, 1 },
        { { .clipName = QByteArray(255, 'c'), .projectName = QByteArray(64, 'p') }, 3 },
    };
    for (const Case &c : cases) {
        PMRFile reader;
        reader.setData(MediaIndexWriter().record("first.mxf", "P").record(c.record).record("third.mxf", "P").bytes()
            + QByteArray(0x20000, '\xff'));
        EXPECT_EQ(readNames(reader).size(), c.expected) << c.record.clipName.toStdString();
        EXPECT_EQ(reader.skippedRecords(), c.expected == 2 ? std::vector<uint32_t> { 2 } : std::vector<uint32_t> {});
    }
}
