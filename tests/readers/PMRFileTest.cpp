#include "readers/PMRFile.h"

#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

// The UID as the item stores it: all 32 bytes, or 8 bytes at bytes 16 to 23.
QByteArray storedUID(const VeskUUID *uid, uint32_t words)
{
    const auto *bytes = reinterpret_cast<const char *>(uid->UMIDx.data());
    return words == 8 ? QByteArray(bytes, 32) : QByteArray(bytes + 16, 8);
}

QByteArray nameOfLength(qsizetype length, char letter = 'c')
{
    return QByteArray(length, letter);
}

} // namespace

class MediaIndexReader : public ::testing::Test {
protected:
    static PMRFile open(const QByteArray &bytes)
    {
        PMRFile reader;
        reader.setData(bytes);
        return reader;
    }

    static QList<VeskItemRef> readAll(PMRFile &reader)
    {
        QList<VeskItemRef> items;
        while (VeskItemRef item = reader.FillItem(std::make_shared<VeskDatabaseItem>()))
            items.append(item);
        return items;
    }

    static QList<VeskItemRef> readAll(const QByteArray &bytes)
    {
        PMRFile reader = open(bytes);
        return readAll(reader);
    }

    static QStringList clipNames(const QByteArray &bytes)
    {
        QStringList names;
        for (const VeskItemRef &item : readAll(bytes))
            names.append(item->DB_ClipName());
        return names;
    }
};

class MediaIndexReaderFormats : public MediaIndexReader,
                                public ::testing::WithParamInterface<std::tuple<bool, uint32_t>> {
protected:
    bool bigEndian() const { return std::get<0>(GetParam()); }
    uint32_t uidWords() const { return std::get<1>(GetParam()); }
    MediaIndexWriter writer() const { return MediaIndexWriter().bigEndian(bigEndian()).uidWords(uidWords()); }
};

TEST_P(MediaIndexReaderFormats, ReadsOneRecordAlikeInBothByteOrders)
{
    const MediaIndexRecord record { .clipName = "A001C003_230414X.mxf",
        .projectName = "Harbor",
        .fileUID = MediaIndexWriter::makeUID(uidWords(), 0x1122334455667788, false),
        .materialUID = MediaIndexWriter::makeUID(uidWords(), 0x1122334455667788, true) };
    const TestFiles files;
    const QString path = files.path() + QStringLiteral("/MXF/1/msmFMID.pmr");
    ASSERT_TRUE(writer().record(record).writeTo(path));
    PMRFile reader;
    reader.dataWithContentsOfURL(path);
    ASSERT_EQ(reader.ItemsCount(), 1u);

    // The one record ends exactly at the end of the file.
    const VeskItemRef item = reader.FillItem(std::make_shared<VeskDatabaseItem>());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->DB_SizeofUID(), uidWords());
    EXPECT_EQ(item->DB_ClipName(), QStringLiteral("A001C003_230414X.mxf"));
    EXPECT_EQ(item->DB_ProjectName(), QStringLiteral("Harbor"));
    EXPECT_EQ(storedUID(item->DB_filePackageUID(), uidWords()), record.fileUID);
    EXPECT_EQ(storedUID(item->DB_materialPackageUID(), uidWords()), record.materialUID);
    EXPECT_TRUE(item->DB_isReferenced());
    EXPECT_TRUE(item->DB_isGoodUUID());
    // The kept record has its lengths in host order, so both byte orders keep the same bytes.
    EXPECT_EQ(item->DB_pmrField(), MediaIndexWriter().uidWords(uidWords()).record(record).recordBytes(0));
    EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>()));
}

INSTANTIATE_TEST_SUITE_P(ByteOrderAndUIDSize, MediaIndexReaderFormats,
    ::testing::Combine(::testing::Bool(), ::testing::Values(8u, 2u)), [](const auto &info) {
        return std::string(std::get<0>(info.param) ? "BigEndian" : "LittleEndian")
            + (std::get<1>(info.param) == 8 ? "Umid" : "AvidUid");
    });

TEST_F(MediaIndexReader, RejectsFilesItCannotRead)
{
    const MediaIndexWriter valid = MediaIndexWriter().record("clip.mxf", "Project");
    const QByteArray wrongMagics[] = {
        MediaIndexWriter(valid).magic(0).bytes(),
        MediaIndexWriter(valid).magic(0x07A90000).bytes(),
        MediaIndexWriter(valid).magic(1962).bytes(),
        "XXXX" + valid.bytes().mid(4),
    };
    for (const QByteArray &bytes : wrongMagics) {
        PMRFile reader = open(bytes);
        EXPECT_EQ(reader.ItemsCount(), 0u) << bytes.left(4).toHex().toStdString();
        EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>()));
    }

    const TestFiles files;
    PMRFile missing;
    missing.dataWithContentsOfURL(files.path() + QStringLiteral("/none.pmr"));
    EXPECT_EQ(missing.ItemsCount(), 0u);
    PMRFile folder;
    folder.dataWithContentsOfURL(files.path());
    EXPECT_EQ(folder.ItemsCount(), 0u);
    EXPECT_FALSE(folder.FillItem(std::make_shared<VeskDatabaseItem>()));
}

// Records of another UID length would carry no UIDs and leave items without names.
TEST_F(MediaIndexReader, TreatsUnknownUIDLengthAsUnreadable)
{
    for (uint32_t words : { 0u, 4u, 0x40000000u, 0xFFFFFFFFu }) {
        PMRFile reader = open(MediaIndexWriter().uidWords(words).record("clip.mxf", "Project").bytes());
        EXPECT_EQ(reader.ItemsCount(), 0u) << words;
        EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>())) << words;
    }
}

TEST_F(MediaIndexReader, SizeAndCountRulesOfTheHeader)
{
    const MediaIndexWriter twoRecords = MediaIndexWriter().uidWords(2).record("a.mxf", "").record("b.mxf", "");
    // A 29-byte file is never read, whatever its header says; 30 bytes are.
    EXPECT_EQ(open(twoRecords.bytes().left(29)).ItemsCount(), 0u);
    EXPECT_EQ(open(twoRecords.bytes().left(30)).ItemsCount(), 2u);

    EXPECT_TRUE(readAll(MediaIndexWriter(twoRecords).count(0).bytes()).isEmpty());
    // The count does not bound the pass: records are read while they are complete.
    EXPECT_EQ(readAll(MediaIndexWriter(twoRecords).count(5).bytes()).size(), 2);
    EXPECT_EQ(readAll(MediaIndexWriter(twoRecords).count(1).bytes()).size(), 2);

    PMRFile huge = open(MediaIndexWriter(twoRecords).count(0xFFFFFFFF).bytes());
    EXPECT_EQ(huge.ItemsCount(), 0xFFFFFFFFu);
    EXPECT_TRUE(huge.FillItem(std::make_shared<VeskDatabaseItem>()));
    EXPECT_TRUE(huge.FillItem(std::make_shared<VeskDatabaseItem>()));
    EXPECT_FALSE(huge.FillItem(std::make_shared<VeskDatabaseItem>()));
}

// Each middle record is followed by the next and by enough bytes for any of its lengths
// to fit: a clip name that is no file name skips the record, a project name length out
// of range ends the pass.
TEST_F(MediaIndexReader, SkipsRecordsNamingNoFileAndStopsAtProjectLengthOutOfRange)
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
        { { .clipName = nameOfLength(256), .projectName = "P" }, 2 },
        { { .clipName = "clip.mxf", .projectName = nameOfLength(65, 'p') }, 1 },
        { { .clipName = "clip.mxf", .projectName = "P", .projectNameLength = 0xFFFF }, 1 },
        { { .clipName = nameOfLength(255), .projectName = nameOfLength(64, 'p') }, 3 },
    };
    for (const Case &c : cases) {
        PMRFile reader
            = open(MediaIndexWriter().record("first.mxf", "P").record(c.record).record("third.mxf", "P").bytes()
                + QByteArray(0x20000, '\xff'));
        EXPECT_EQ(readAll(reader).size(), c.expected) << c.record.clipName.toStdString();
        EXPECT_EQ(reader.skippedRecords(), c.expected == 2 ? std::vector<uint32_t> { 2 } : std::vector<uint32_t> {});
    }
}

TEST_F(MediaIndexReader, EmptyProjectNameIsLeftUnset)
{
    const QList<VeskItemRef> items = readAll(MediaIndexWriter().record("clip.mxf", "").bytes());
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items[0]->DB_ProjectName().isNull());
    EXPECT_EQ(items[0]->get_DB_ProjectName(), VeskDatabaseItem::GetProjectNameNull());
}

// With 8-byte UIDs a record can be shorter than the 29 bytes a record must have before
// the end of the file: such a last record is not read even though it is complete.
TEST_F(MediaIndexReader, ShortLastRecordNeedsTwentyNineBytesBeforeTheEnd)
{
    const MediaIndexWriter base = MediaIndexWriter().uidWords(2).record("first.mxf", "Project");
    const QByteArray record28 = MediaIndexWriter(base).record("ab.c", "").bytes();
    const QByteArray record29 = MediaIndexWriter(base).record("abc.d", "").bytes();
    ASSERT_EQ(record28.size() - base.bytes().size(), 28);
    EXPECT_EQ(clipNames(record28), QStringList { QStringLiteral("first.mxf") });
    EXPECT_EQ(clipNames(record29), (QStringList { QStringLiteral("first.mxf"), QStringLiteral("abc.d") }));
}

// A rejected record ends the pass for good: a further call must not resume inside it
// and take the bytes after its bad length for a record.
TEST_F(MediaIndexReader, PassStaysEndedAfterRejectedRecord)
{
    const QByteArray hidden = MediaIndexWriter().record("hidden.mxf", "Project").recordBytes(0);
    PMRFile reader = open(MediaIndexWriter()
                              .record("first.mxf", "Project")
                              .record({ .clipName = "a.mxf", .projectName = hidden, .projectNameLength = 65 })
                              .bytes());
    EXPECT_TRUE(reader.FillItem(std::make_shared<VeskDatabaseItem>()));
    EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>()));
    EXPECT_FALSE(reader.FillItem(std::make_shared<VeskDatabaseItem>()));
}
