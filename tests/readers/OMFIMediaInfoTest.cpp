#include "ReaderTest.h"

#include "readers/VeskOMFIMediaInfo.h"

#include "support/BentoWriter.h"
#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"

#include <QElapsedTimer>

namespace {

// Everything an MDB may write into an item, and a field it must leave alone (the last).
QString stateOf(const VeskDatabaseItem &item)
{
    const auto *code = reinterpret_cast<const char *>(item.DB_CompressionFourCC()->UMIDx.data());
    const auto rate = [](VeskRate r) { return QStringLiteral("%1/%2").arg(r.numerator).arg(r.denominator); };
    return QStringList { item.DB_NameInBin(), item.DB_ProjectName(),
        QStringLiteral("usage %1").arg(item.DB_usageCode()), QStringLiteral("fps ") + rate(item.DB_framerate()),
        QStringLiteral("rate ") + rate(item.DB_samplerate()), QString::fromLatin1(code, 4),
        QStringLiteral("res %1").arg(item.DB_DIDResolutionID()), QStringLiteral("bits %1").arg(item.DB_bits()),
        item.DB_ClipName() }
        .join(QStringLiteral(" | "));
}

MdbMedia video(uint64_t number, uint32_t uidWords = 8)
{
    MdbMedia m = MdbMedia::numbered(number, "Interview " + QByteArray::number(number), "Harbor Lights");
    m.fileUID = MediaIndexWriter::makeUID(uidWords, number, false);
    m.materialUID = MediaIndexWriter::makeUID(uidWords, number, true);
    m.usageCode = 2;
    m.resolutionID = 1238;
    m.frameRateNumerator = 30000;
    m.frameRateDenominator = 1001;
    m.sampleRateNumerator = 30;
    m.bits = 8;
    return m;
}

} // namespace

class MDBMediaInfo : public ReaderTest {
protected:
    // An item as the media index leaves it, with the media's UIDs.
    static std::unique_ptr<VeskDatabaseItem> itemFor(const MdbMedia &m)
    {
        auto item = std::make_unique<VeskDatabaseItem>();
        item->setFileUIDWithNSData(m.fileUID);
        item->setMaterialUIDWithNSData(m.materialUID);
        item->setDB_NameInBin(QStringLiteral("from index"));
        item->setDB_ProjectName(QStringLiteral("Index Project"));
        return item;
    }

    QString enrich(const MdbMedia &m)
    {
        const std::unique_ptr<VeskDatabaseItem> item = itemFor(m);
        m_reader->addInfoToItem(*item);
        return stateOf(*item);
    }
};

TEST_F(MDBMediaInfo, FillsTheItemExactlyInBothByteOrdersAndUIDSizes)
{
    const QString expected = QStringLiteral(
        "Interview 7 | Harbor Lights | usage 2 | fps 30000/1001 | rate 30/1 | AVdn | res 1238 | bits 8 | ");
    for (const bool bigEndian : { false, true }) {
        for (const uint32_t words : { 2u, 8u }) {
            ASSERT_TRUE(open(
                MdbWriter(bigEndian).media(video(6, words)).media(video(7, words)).media(video(8, words)).bytes()));
            EXPECT_EQ(enrich(video(7, words)), expected) << bigEndian << " " << words;
            EXPECT_EQ(m_reader->getMDBCompositionsCount(), 3u);
        }
    }
}

// Audio descriptors give the audio code, rate and bits; the import setting makes usage
// code 15; the project comes from an upstream source mob named by either UID form; an
// unknown UID, or a database that did not open, leaves the item alone.
TEST_F(MDBMediaInfo, AudioImportProjectsAndUnknownUIDs)
{
    MdbMedia audio = video(1);
    audio.fourCC = "_AUD";
    audio.sampleRateNumerator = 48000;
    audio.bits = 24;
    MdbMedia legacy = audio;
    legacy.fileUID = MediaIndexWriter::makeUID(8, 2, false);
    legacy.legacyAudioRate = true;
    legacy.sampleRateNumerator = 44100;
    MdbMedia imported = video(3);
    imported.imported = true;
    imported.usageCode = 3;
    MdbMedia by32 = video(4);
    by32.projectLink = MdbMedia::ProjectLink::Reference32;
    by32.project = "Documentary";
    MdbMedia by12 = video(5);
    by12.projectLink = MdbMedia::ProjectLink::Reference12;
    by12.project = "Promo";
    MdbMedia none = video(6);
    none.projectLink = MdbMedia::ProjectLink::Reference12;
    none.project.reset();
    ASSERT_TRUE(
        open(MdbWriter().media(audio).media(legacy).media(imported).media(by32).media(by12).media(none).bytes()));
    const auto expectIn = [this](const MdbMedia &m, const QString &part) {
        const QString state = enrich(m);
        EXPECT_TRUE(state.contains(part)) << state.toStdString();
    };
    expectIn(audio, QStringLiteral(" | rate 48000/1 | _AUD | res 0 | bits 24 | "));
    expectIn(legacy, QStringLiteral(" | rate 44100/1 | _AUD | res 0 | bits 24 | "));
    expectIn(imported, QStringLiteral(" | usage 15 | "));
    expectIn(by32, QStringLiteral(" | Documentary | "));
    expectIn(by12, QStringLiteral(" | Promo | "));
    expectIn(none, QStringLiteral(" | Index Project | ")); // no project found: left alone

    const std::unique_ptr<VeskDatabaseItem> item = itemFor(video(99));
    const QString before = stateOf(*item);
    m_reader->addInfoToItem(*item);
    EXPECT_EQ(stateOf(*item), before);
    VeskOMFI failed;
    EXPECT_FALSE(failed.openFile(write(QStringLiteral("x.mdb"), "not a container"), nullptr));
    failed.addInfoToItem(*item);
    EXPECT_EQ(stateOf(*item), before);
}

// Hand-built databases for the cases the media writer does not make.
class MDBMediaInfoByHand : public MDBMediaInfo {
protected:
    static constexpr uint32_t kSource = 100, kDescriptor = 101, kSlot = 102, kSegment = 103;
    const QByteArray m_uid = QByteArray::fromHex("A1A2A3A4A5A6A7A8");
    const uint8_t *uid() const { return reinterpret_cast<const uint8_t *>(m_uid.constData()); }

    // A source mob whose project, if any, comes through one slot and one segment.
    BentoWriter sourceMob(const QList<uint32_t> &components, const QList<QPair<QByteArray, uint32_t>> &more = {})
    {
        BentoWriter w;
        w.stored(1, 0x10216, 0x1006d, w.mobList(QList<QPair<QByteArray, uint32_t>> { { m_uid, kSource } } + more));
        w.stored(kSource, 0x10061, 0x10081, "SMOB");
        w.stored(kSource, 0x1040f, 0x1007c, w.referenceList({ kSlot }));
        w.stored(kSlot, 0x103f6, 0x10077, BentoWriter::reference(kSegment));
        w.stored(kSegment, 0x10374, 0x1007c, w.referenceList(components));
        return w;
    }

    // A source clip naming a mob, and that mob with or without a project attribute.
    static void upstream(
        BentoWriter &w, uint32_t clip, uint32_t mob, const QByteArray &key, const std::optional<QByteArray> &project)
    {
        w.stored(clip, 0x10356, 0x1009f, QByteArray(4, '\0') + key);
        w.stored(mob, 0x10061, 0x10081, "SMOB");
        if (!project)
            return;
        w.stored(mob, 0x1028e, 0x10077, BentoWriter::reference(mob + 1));
        w.stored(mob + 1, 0x1026b, 0x1007c, w.referenceList({ mob + 2 }));
        w.stored(mob + 2, 0x10257, 0x10090, BentoWriter::text("_PJ"));
        w.stored(mob + 2, 0x1027f, 0x10090, BentoWriter::text(*project));
    }

    std::optional<QString> projectOf()
    {
        return VeskOMFIMediaInfo(*m_reader).getProjectNameForObjAt(m_reader->findSourceMob(uid()));
    }
};

TEST_F(MDBMediaInfoByHand, LastUpstreamMobReachedDecidesTheProject)
{
    const QByteArray keyA = QByteArray::fromHex("B1B2B3B4B5B6B7B8");
    const QByteArray keyB = QByteArray::fromHex("C1C2C3C4C5C6C7C8");
    for (const bool withProjectLast : { false, true }) {
        BentoWriter w = sourceMob({ 200, 201 }, { { keyA, 300 }, { keyB, 400 } });
        upstream(w, 200, 300, keyA, withProjectLast ? std::nullopt : std::optional<QByteArray>("Show"));
        upstream(w, 201, 400, keyB, withProjectLast ? std::optional<QByteArray>("Show") : std::nullopt);
        ASSERT_TRUE(open(w.bytes()));
        EXPECT_EQ(projectOf(), withProjectLast ? std::optional<QString>(QStringLiteral("Show")) : std::nullopt);
    }
}

TEST_F(MDBMediaInfoByHand, UnexpectedUIDLengthIsLoggedAndSkipped)
{
    BentoWriter w = sourceMob({ 200 });
    w.stored(200, 0x10356, 0x1009f, QByteArray(16, '\x42'));
    ASSERT_TRUE(open(w.bytes()));
    EXPECT_FALSE(projectOf());
    const QStringList lines = logged().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(":: ERROR IN OMFI PARSER. UID capacity is::16l")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(":: [VeskOMFI getProjectNameForObjAt]")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("\"{ 42424242-42424242-42424242-42424242 }\"")));
}

TEST_F(MDBMediaInfoByHand, ReferencesThatLoopBackOrRepeatEndQuickly)
{
    // The segment lists the slot, itself and, 30,000 times, a clip naming the source mob
    // it started from; the source mob lists the slot 30,000 times and is its own
    // attribute list.
    BentoWriter w;
    w.stored(1, 0x10216, 0x1006d, w.mobList({ { m_uid, kSource } }));
    w.stored(kSource, 0x1028e, 0x10077, BentoWriter::reference(kSource));
    w.stored(kSource, 0x1026b, 0x1007c, w.referenceList({ kSource, kSource }));
    w.stored(kSource, 0x1040f, 0x1007c, w.referenceList(QList<uint32_t>(30000, kSlot)));
    w.stored(kSource, 0x10333, 0x10077, BentoWriter::reference(kSource));
    w.stored(kSlot, 0x103f6, 0x10077, BentoWriter::reference(kSegment));
    QList<uint32_t> components { kSlot, kSegment };
    components += QList<uint32_t>(30000, 200);
    w.stored(kSegment, 0x10374, 0x1007c, w.referenceList(components));
    w.stored(200, 0x10356, 0x1009f, QByteArray(4, '\0') + m_uid);
    ASSERT_TRUE(open(w.bytes()));

    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<VeskDatabaseItem> item = std::make_unique<VeskDatabaseItem>();
    item->setFileUIDWithNSData(m_uid);
    m_reader->addInfoToItem(*item);
    EXPECT_EQ(item->DB_ProjectName(), QString());
    EXPECT_LT(timer.elapsed(), 5000);
}

// A video descriptor without a rate writes zeros; a composition mob without a string
// clears the name in the bin.
TEST_F(MDBMediaInfoByHand, VideoWithoutRateAndCompositionWithoutString)
{
    BentoWriter w;
    w.stored(1, 0x10216, 0x1006d, w.mobList({ { m_uid, kSource } }));
    w.stored(1, 0x101e9, 0x1006d, w.mobList({ { m_uid, 110 } }));
    w.stored(kSource, 0x10333, 0x10077, BentoWriter::reference(kDescriptor));
    w.immediate(kDescriptor, 0x108d9, 0x10068, "AVdn");
    w.immediate(kDescriptor, 0x108f7, 0x10068, w.u32(1241));
    w.stored(kDescriptor, 0x1031a, 0x10059, w.pair(25, 1));
    w.stored(110, 0x10061, 0x10081, "CMOB");
    w.immediate(110, 0x1033d, 0x10068, w.u32(4));
    ASSERT_TRUE(open(w.bytes()));
    VeskDatabaseItem item;
    item.setFileUIDWithNSData(m_uid);
    item.setMaterialUIDWithNSData(m_uid);
    item.setSampleRateNumerator(48000, 1);
    item.setDB_bits(16);
    item.setDB_NameInBin(QStringLiteral("from index"));
    m_reader->addInfoToItem(item);
    EXPECT_TRUE(stateOf(item).contains(QStringLiteral(" | usage 4 | "))) << stateOf(item).toStdString();
    EXPECT_TRUE(stateOf(item).contains(QStringLiteral(" | AVdn | res 1241 | bits 0 | ")));
    EXPECT_EQ(item.DB_samplerate(), VeskRate {}) << "the rate is written as zeros";
    EXPECT_TRUE(item.DB_NameInBin().isNull());
}
