#include "ReaderTest.h"

#include "support/BentoWriter.h"
#include "support/MdbWriter.h"

namespace {

constexpr uint32_t kName = 0x10261;
constexpr uint32_t kString = 0x10090;
const QByteArray kUid = QByteArray::fromHex("0102030405060708");
const auto *const kUidBytes = reinterpret_cast<const uint8_t *>(kUid.constData());

QByteArray bytesOf(std::span<const uint8_t> span)
{
    return QByteArray(reinterpret_cast<const char *>(span.data()), qsizetype(span.size()));
}

} // namespace

using BentoContainer = ReaderTest;

TEST_F(BentoContainer, RefusedFilesLogOnlyTheOMF2Label)
{
    BentoWriter w;
    w.stored(5, kName, kString, "x");
    EXPECT_FALSE(open(w.bytes().mid(1))) << "127 bytes ending in a label";
    EXPECT_FALSE(open(BentoWriter().magic("BENTO!!!").stored(5, kName, kString, "x").bytes()));
    EXPECT_FALSE(open(QByteArray(4096, '\0')));
    EXPECT_FALSE(m_reader->openFile(QString(), nullptr));
    EXPECT_FALSE(m_reader->openFile(path(QStringLiteral("missing.mdb")), nullptr));
    EXPECT_EQ(logged(), QString());

    // An OMF 2 label is refused with two log lines.
    const QByteArray file
        = MdbWriter().media(MdbMedia::numbered(1, "Clip", "Show")).container().majorVersion(2).bytes();
    EXPECT_FALSE(open(file));
    const QStringList lines = logged().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(
        lines[0].endsWith(QStringLiteral(":: OMF 2 found at %1/msmMMOB%2.mdb").arg(m_files.path()).arg(m_opened)));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(":: OMF 2 not supported")));
}

TEST_F(BentoContainer, TocPlacementAndSizeFromTheLabel)
{
    BentoWriter w;
    w.stored(5, kName, kString, "a").stored(6, kName, kString, "b").stored(7, kName, kString, "c");
    const uint32_t start = w.tocStart();
    const uint32_t size = uint32_t(w.bytes().size());

    EXPECT_FALSE(open(BentoWriter(w).tocSize(size + 1).bytes())) << "TOC larger than the file";
    ASSERT_TRUE(open(BentoWriter(w).tocSize(3 * 24 + 5).bytes())) << "remainder ignored";
    EXPECT_EQ(m_reader->TOCItemsCount(), 3u);

    // Moved two entries on, the TOC runs 24 bytes past the end: only the whole entries
    // inside the file (the last real one, then the label) are read.
    ASSERT_TRUE(open(BentoWriter(w).tocOffset(start + 48).bytes()));
    EXPECT_EQ(m_reader->TOCItemsCount(), 2u);
    EXPECT_EQ(m_reader->tocEntry(0)->objectID, 7u);
    EXPECT_FALSE(m_reader->tocEntry(2));

    EXPECT_FALSE(open(BentoWriter(w).tocOffset(0xFFFFFFF0).bytes())) << "TOC starting past the end";
    EXPECT_FALSE(open(BentoWriter().stored(0, kName, kString, "a").bytes())) << "no object";
}

// An object in two runs is indexed at its first run; of equal UIDs in a mob list the last
// listed is found.
TEST_F(BentoContainer, ObjectRunsAndEqualUIDsInAMobList)
{
    BentoWriter w;
    w.stored(1, 0x101e9, 0x1006d, w.mobList({ { kUid, 5 }, { kUid, 6 } }));
    w.stored(5, kName, kString, "first").stored(6, kName, kString, "second").stored(5, 0x1027f, kString, "c");
    ASSERT_TRUE(open(w.bytes()));
    EXPECT_EQ(m_reader->BentoObjectsCount(), 4u);
    EXPECT_EQ(m_reader->tocIndexOfObject(5), 1u);
    EXPECT_EQ(m_reader->tocIndexOfObject(6), 2u);
    EXPECT_EQ(m_reader->tocIndexOfObject(9), VeskOMFI::kNone);
    EXPECT_EQ(m_reader->lookForProperty(0x1027f, 1), 0u) << "the walk stops at the object's run: none";
    EXPECT_EQ(m_reader->lookForProperty(0x1027f, 3), 3u);
    EXPECT_EQ(m_reader->getMDBCompositionsCount(), 2u);
    EXPECT_EQ(m_reader->findCompositionMob(kUidBytes), 2u);
    EXPECT_EQ(m_reader->findSourceMob(kUidBytes), VeskOMFI::kNone);
}

TEST_F(BentoContainer, CountsLargerThanTheirValueReadOnlyWholeRecords)
{
    BentoWriter w;
    QByteArray list = w.mobList({ { kUid, 5 } }, 0xFFFF);
    list.append(19, '\x7f'); // a record cut short
    w.stored(1, 0x101e9, 0x1006d, list);
    w.stored(5, 0x1026b, 0x1007c, w.referenceList({ 5, 5 }, 0xFFFF));
    ASSERT_TRUE(open(w.bytes()));
    EXPECT_EQ(m_reader->getMDBCompositionsCount(), 1u);
    EXPECT_TRUE(logged().contains(QStringLiteral("Mob list of 65535 records holds only 1")));
    EXPECT_EQ(m_reader->referenceList(m_reader->pDataFor(1)), (std::vector<uint32_t> { 5, 5 }));
    VeskInspectorRow listRow { 1, 1, true, {} };
    EXPECT_EQ(m_reader->numberOfChildrenOfItem(&listRow), 2u);
}

TEST_F(BentoContainer, ValuesOutsideTheFileOrTheirEntryAreNone)
{
    BentoWriter w;
    w.stored(5, kName, kString, "inside");
    // 0xFFFFFF00 + 0x200 wraps to 0x100 in 32 bits, inside the file.
    w.raw({ 5, 0x1027f, kString, 0xFFFFFF00, 0x200, 1 });
    w.raw({ 5, 0x10257, kString, 2, 0xFFFFFFFF, 1 });
    w.raw({ 5, 0x10298, kString, 0x41424344, 8, 0 }); // immediate longer than its field
    w.raw({ 5, 0x1029d, kString, 0x41424344, 3, 0 });
    w.raw({ 5, 0x102e1, kString, 0, 0, 1 });
    w.raw({ 24, 24, 21, 0x7FFFFFF0, 0x20, 1 }); // a global name outside the file
    ASSERT_TRUE(open(w.bytes()));
    EXPECT_EQ(bytesOf(m_reader->pDataFor(0)), QByteArray("inside"));
    for (uint32_t t : { 1u, 2u, 3u, 5u, 6u, 7u, VeskOMFI::kNone })
        EXPECT_TRUE(m_reader->pDataFor(t).empty()) << t;
    EXPECT_EQ(bytesOf(m_reader->pDataFor(4)), QByteArray("DCB"));
    EXPECT_EQ(m_reader->nameForID(24), QStringLiteral("CM_StdObjID_GlobalPropName"));
}

// Names with their terminator are read by the inspector's rows.
TEST_F(BentoContainer, GlobalNamesAreSevenBitTexts)
{
    BentoWriter w;
    w.name(0x10257, "Caf\xe9");
    w.name(2, "Seed");
    ASSERT_TRUE(open(w.bytes()));
    EXPECT_FALSE(m_reader->nameForID(0x10257));
    EXPECT_EQ(m_reader->nameForID(2), QStringLiteral("Seed")) << "a file's name replaces the standard one";
    EXPECT_EQ(m_reader->nameForID(42), QStringLiteral("CM_StdObjID_8BitImmValue"));
    EXPECT_EQ(m_reader->getMDBCompositionsCount(), 0u) << "no mob list";
}

// Object strings are trimmed and decoded by the byte order; value numbers follow the
// byte order mark, references and UIDs do not.
TEST_F(BentoContainer, StringsAndNumbersByByteOrder)
{
    for (const bool bigEndian : { false, true }) {
        BentoWriter w(bigEndian);
        w.stored(1, 0x10216, 0x1006d, w.mobList({ { kUid, 6 } }));
        w.stored(4, 0x10061, 0x10081, "HEAD");
        w.stored(5, 0x10061, 0x10081, "CMOB");
        w.stored(5, kName, kString, QByteArray("\0Caf\x8e\0\0", 7));
        w.stored(5, 0x10293, 0x10059, w.pair(2997, 100));
        w.stored(6, 0x10061, 0x10081, "CMOB");
        w.stored(6, 0x10333, 0x10077, BentoWriter::reference(5));
        ASSERT_TRUE(open(w.bytes()));
        EXPECT_EQ(m_reader->isII(), !bigEndian);
        if (bigEndian)
            EXPECT_EQ(m_reader->GetStringForObjectAt(2), QStringLiteral("Caf\u00e9")) << "Mac OS Roman";
        else
            EXPECT_FALSE(m_reader->GetStringForObjectAt(2)) << "not 7-bit: no text";
        EXPECT_FALSE(m_reader->GetStringForObjectAt(5)) << "object without a string";
        EXPECT_EQ(m_reader->valueU32(m_reader->pDataFor(4), 4), 100u);
        EXPECT_EQ(m_reader->followReference(6, 0x10333), 2u);
        EXPECT_EQ(m_reader->findSourceMob(kUidBytes), 5u);
    }
    BentoWriter w;
    w.stored(4, kName, kString, "x").stored(5, kName, kString, BentoWriter::text("Clip"));
    ASSERT_TRUE(open(w.bytes()));
    EXPECT_FALSE(m_reader->GetStringForObjectAt(0)) << "index 0 is never an object string";
    EXPECT_EQ(m_reader->GetStringForObjectAt(1), QStringLiteral("Clip"));
}
