#include "ReaderTest.h"

#include "readers/AVBFile.h"

#include "support/BinWriter.h"

#include <sys/stat.h>

namespace {

const VeskUUID kUidA = BinWriter::avidUID(0x11111111, 0x22222222);
const VeskUUID kUidB = BinWriter::avidUID(0x80000000, 0x7FFFFFFF);

std::vector<AVBFileUID> uidsOf(const QByteArray &bytes)
{
    AVBFile bin;
    return bin.dataWithBytes(bytes) ? bin.getUIDS() : std::vector<AVBFileUID> {};
}

// A bin of `length` bytes with nothing in it but the references placed at the offsets.
QByteArray binWithReferencesAt(int length, const std::vector<int> &offsets)
{
    QByteArray bytes = BinWriter::header() + QByteArray(length - BinWriter::kHeaderLength, '\0');
    for (int offset : offsets)
        bytes.replace(offset, BinWriter::kReferenceLength, BinWriter::reference(kUidA));
    return bytes.left(length);
}

} // namespace

using AVBFileTest = ReaderTest;

TEST_F(AVBFileTest, AnyWrongHeaderByteRejectsTheFile)
{
    const QByteArray good = BinWriter().clip("A001", { kUidA }).bytes();
    for (int i = 0; i < 12; ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x20);
        EXPECT_FALSE(AVBFile().dataWithBytes(bad)) << "byte " << i;
    }
}

// The end of the search is checked against a plain scan below.
TEST_F(AVBFileTest, SearchStartsAtOffset119)
{
    EXPECT_TRUE(uidsOf(binWithReferencesAt(400, { 118 })).empty());
    EXPECT_EQ(uidsOf(binWithReferencesAt(400, { 119 })).size(), 1u);
}

TEST_F(AVBFileTest, OverlappingCandidates)
{
    // A failed candidate does not hide a reference that starts one byte later.
    QByteArray bytes = binWithReferencesAt(400, { 201 });
    bytes[200] = 'L';
    EXPECT_EQ(uidsOf(bytes).size(), 1u);

    // After a match the search resumes 9 bytes on: a reference overlapping the first
    // one's UID is found...
    const std::vector<AVBFileUID> pair = uidsOf(binWithReferencesAt(400, { 200, 210 }));
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(pair[0].word4, 0x4D534D4Cu);
    // ...one that starts in the skipped bytes is not.
    bytes = binWithReferencesAt(400, { 200 });
    bytes.replace(204, 4, "LMSM");
    bytes[212] = bytes[213] = 0x02;
    const std::vector<AVBFileUID> uids = uidsOf(bytes);
    ASSERT_EQ(uids.size(), 1u);
    EXPECT_EQ(uids[0].word4, 0x02021111u);
}

// The search skips blocks of offsets at a time; on bytes drawn mostly from the pattern's
// own values it must still agree, offset for offset, with a plain scan.
TEST_F(AVBFileTest, AgreesWithAPlainScanOnPatternLikeBytes)
{
    uint32_t seed = 7;
    size_t found = 0;
    for (int length : { 152, 153, 167, 168, 169, 1000, 4099 }) {
        QByteArray bytes = BinWriter::header() + QByteArray(length - BinWriter::kHeaderLength, '\0');
        for (int i = BinWriter::kHeaderLength; i < length; ++i) {
            seed = seed * 1664525u + 1013904223u;
            bytes[i] = "LMSM\x02\x02LMSM\x02"[(seed >> 24) % 11];
        }
        for (int at = 119 + int(seed % 7); at + 40 < length; at += 23 + int(seed % 5))
            bytes.replace(at, BinWriter::kReferenceLength, BinWriter::reference(BinWriter::avidUID(at, ~uint32_t(at))));
        std::vector<AVBFileUID> expected;
        for (int p = 119; p < length - 32;) {
            const bool match = bytes.mid(p, 4) == "LMSM" && bytes.mid(p + 8, 2) == "\x02\x02";
            if (match)
                expected.push_back({ qFromLittleEndian<uint32_t>(bytes.constData() + p + 10),
                    qFromLittleEndian<uint32_t>(bytes.constData() + p + 14) });
            p += match ? 9 : 1;
        }
        EXPECT_EQ(uidsOf(bytes), expected) << length;
        found += expected.size();
    }
    EXPECT_GT(found, 100u);
}

TEST_F(AVBFileTest, ReturnsEveryReferenceInFileOrderForBothUIDForms)
{
    VeskUUID umid;
    for (int i = 0; i < 32; ++i)
        umid.UMIDx[size_t(i)] = uint8_t(0xA0 + i);
    const std::vector<AVBFileUID> uids
        = uidsOf(BinWriter().clip("A001", { kUidB, umid }).clip("A002", { kUidB }).bytes());
    const AVBFileUID b = AVBFileUID::fromUUID(kUidB);
    EXPECT_EQ(uids, (std::vector<AVBFileUID> { b, AVBFileUID { 0xB3B2B1B0, 0xB7B6B5B4 }, b }));
    EXPECT_GT(b, (AVBFileUID { 0x7FFFFFFF, 0xFFFFFFFF })); // unsigned, as items compare

    // A probe matches items by UID only.
    VeskDatabaseItem item;
    QByteArray itemUID(32, '\x06');
    itemUID.replace(16, 8, QByteArray::fromHex("0000008001000000"));
    item.setFileUIDWithNSData(itemUID);
    EXPECT_TRUE((AVBFileUID { 0x80000000, 1 }.makeProbe()->isEqualByUUID(&item)));
    EXPECT_EQ(AVBFileUID::fromUUID(*item.DB_filePackageUID()), (AVBFileUID { 0x80000000, 1 }));
}

TEST_F(AVBFileTest, ReadBinJudgesWhatABinOperationMayUse)
{
    const QByteArray sound = BinWriter().clip("A001", { kUidA }).bytes();
    const QString fifo = path("waiting.avb");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        AVBFile::Status status;
    } cases[] = {
        { write("Reel 1.avb", sound), AVBFile::Status::Sound },
        { write("empty.avb", BinWriter().creator("x").bytes()), AVBFile::Status::NoReferences },
        { write("cut.avb", sound.chopped(1)), AVBFile::Status::Damaged },
        { write("long.avb", sound + '\0'), AVBFile::Status::Damaged },
        { write("wrong.avb", BinWriter().wrongHeader().bytes()), AVBFile::Status::NotABin },
        { write("short.avb", sound.left(118)), AVBFile::Status::NotABin },
        { path("missing.avb"), AVBFile::Status::Unreadable }, { m_files.path(), AVBFile::Status::Unreadable },
        { fifo, AVBFile::Status::Unreadable }, // never opened, so never waited for
    };
    for (const auto &c : cases) {
        VeskConsole::sharedInstance()->Reset();
        EXPECT_EQ(AVBFile().readBin(c.path), c.status) << c.path.toStdString();
        const bool isABin = c.status != AVBFile::Status::Unreadable && c.status != AVBFile::Status::NotABin;
        EXPECT_EQ(logged().contains(":: Opened avid BIN " + c.path + "\n"), isABin);
    }
}

TEST_F(AVBFileTest, DumpDescribesCreatorAndFileAndWindowAtoms)
{
    AVBFile bin;
    ASSERT_TRUE(bin.dataWithBytes(BinWriter()
                                      .creator("Editor 8.4")
                                      .fileAtom(1, 0xAB, "clip.mxf")
                                      .clip("A001", { kUidA })
                                      .windowAtom(2, 3, "")
                                      .bytes()));
    EXPECT_TRUE(bin.getAMAUIDS().empty());
    const QString log = logged();
    EXPECT_TRUE(log.contains(":: avb::0001::Bin header matched pattern\n"));
    EXPECT_TRUE(log.contains(":: <Domain>\n"));
    EXPECT_TRUE(log.contains(":: <00000008 :: DJBO, len 0x6f> created with \"Editor 8.4\"\n"));
    // File atom at 0x77 (20 bytes), clip atom at 0x8b (8 + 2 + 4 + 64 + 24 bytes), window atom at 0xf1,
    // closing atom at 0xfd (32 bytes).
    EXPECT_TRUE(log.contains(":: \n<00000077 :: ELIF, len 0000000c> b+8 = 01 b+9 = ab\n-1-> clip.mxf\n"
                             "<000000f1 :: FNIW, len 00000004> b+8 = 02 b+9 = 03\n-1-> \n("));
    EXPECT_TRUE(log.contains(":: <0000011d :: Bin EOF\n")) << log.toStdString();
}

// Atoms and texts whose lengths reach past the end are not described.
TEST_F(AVBFileTest, DumpStopsAtLengthsReachingPastTheEnd)
{
    QByteArray longCreator = BinWriter::header("Editor");
    longCreator[71] = char(0xFF);
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        { BinWriter().atom("ELIF", QByteArray::fromHex("0102ffff") + "x").bytes(),
            { ":: \n(", ":: <00000077 :: Bin EOF\n" } }, // no atom described
        { BinWriter().atom("ELIF", "ab", 0xFFFFFFFF).bytes(), { ":: <10000007e :: Bin EOF\n" } },
        { longCreator, { "created with \"\"\n" } },
    };
    for (const auto &c : cases) {
        VeskConsole::sharedInstance()->Reset();
        AVBFile bin;
        ASSERT_TRUE(bin.dataWithBytes(c.bytes));
        bin.getAMAUIDS();
        for (const QString &line : c.lines)
            EXPECT_TRUE(logged().contains(line)) << logged().toStdString();
    }
}
