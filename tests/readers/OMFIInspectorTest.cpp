#include "ReaderTest.h"

#include "readers/VeskMediafile.h"
#include "readers/VeskOMFIInspectorText.h"
#include "readers/VeskOMFIOutline.h"

#include "support/BentoWriter.h"
#include "support/MdbWriter.h"

// A small container with one entry of each kind the outline and its texts tell apart.
class BentoInspector : public ReaderTest {
protected:
    void SetUp() override
    {
        ReaderTest::SetUp();
        const QByteArray uid = QByteArray::fromHex("A1A2A3A4A5A6A7A8");
        m_writer.stored(1, 0x101e9, 0x1006d, m_writer.mobList({ { uid, 0x50 } })); // 0
        m_writer.name(0x10261, BentoWriter::text("OMFI:MOBJ:Name")); // 1
        m_writer.name(0x10090, BentoWriter::text("omfi:String"), true); // 2
        m_writer.stored(0x50, 0x10061, 0x10081, "CMOB"); // 3
        m_writer.stored(0x50, 0x10261, 0x10090, BentoWriter::text("Clip")); // 4
        m_writer.stored(0x50, 0x10298, 0x10090, BentoWriter::text("Take 2")); // 5
        m_writer.stored(0x50, 0x10293, 0x10059, m_writer.pair(25, 1)); // 6
        m_writer.immediate(0x50, 0x1033d, 0x10068, m_writer.u32(7)); // 7
        m_writer.stored(0x50, 0x1032e, 0x1009f, QByteArray::fromHex("000102030405060708090a0b")); // 8
        m_writer.stored(0x60, 0x10061, 0x10081, "ATTB"); // 9
        m_writer.stored(0x60, 0x102e0, 0x10090, "Zo\xc3\xab"); // 10
        m_writer.stored(0x60, 0x10333, 0x10077, BentoWriter::reference(0x50)); // 11
        m_writer.stored(0x60, 0x10999, 0x10090, "\xff"); // 12
        ASSERT_TRUE(open(m_writer.bytes()));
    }

    QString rowText(uint32_t t) const { return VeskOMFIInspectorText(*m_reader).StringForTocIndexItem(t); }
    QString description(uint32_t t) const { return VeskOMFIInspectorText(*m_reader).getDescriptionForTOCindex(t); }
    VeskInspectorRowRef row(uint32_t t)
    {
        return m_reader->outline().createViewItem(1, t, m_reader->outline().isTocItemExpandable(t), rowText(t));
    }

    BentoWriter m_writer;
};

TEST_F(BentoInspector, RowTextsByValueType)
{
    EXPECT_EQ(rowText(0), QStringLiteral("[ ID=CM_StdObjID_TOC ] 101e9 [ValueType:1006d]"));
    EXPECT_EQ(rowText(1),
        QStringLiteral("[ ID=OMFI:MOBJ:Name ] CM_StdObjID_GlobalPropName [ValueType:CM_StdObjID_7BitASCII] = "
                       "ext[0x%1 : 0xf ] tocindex:0x1")
            .arg(m_writer.entry(1).offset, 0, 16));
    EXPECT_EQ(
        rowText(3), QStringLiteral("\"Take 2\" \"UID:{ 00010203-04050607-08090a0b }\"  [ ID=50 ][10061] tocindex:0x3"));
    EXPECT_EQ(rowText(4), QStringLiteral("\"Clip\"  [ ID=50 ][OMFI:MOBJ:Name] tocindex:0x4"));
    EXPECT_EQ(rowText(6), QStringLiteral("[ ID=50 ][10293] \"25/1\" tocindex:0x6"));
    EXPECT_EQ(rowText(7), QStringLiteral("[ ID=50 ] 1033d [ValueType:10068] = int[0x7 : 0x4 ] tocindex:0x7"));
    EXPECT_EQ(rowText(8), QStringLiteral("\"{ 00010203-04050607-08090a0b }\"  [ ID=50 ][1032e] tocindex:0x8"));
    EXPECT_EQ(rowText(9), QStringLiteral("[ ID=60 ] 10061 [ValueType:10081] tocindex:0x9"));
    EXPECT_EQ(rowText(10), QStringLiteral("\"Zo\u00eb\"  [ ID=60 ][102e0] tocindex:0xa"));
    EXPECT_EQ(rowText(12),
        QStringLiteral("[ ID=60 ] 10999 [ValueType:omfi:String] = ext[0x%1 : 0x1 ] tocindex:0xc")
            .arg(m_writer.entry(12).offset, 0, 16))
        << "a text that does not decode shows the generic text";
}

TEST_F(BentoInspector, OutlineFollowsListsReferencesAndObjects)
{
    const VeskInspectorRowRef topRow = m_reader->child(0, nullptr);
    EXPECT_EQ(topRow->name, QStringLiteral("[ ID=0x1] CM_StdObjID_TOC"));
    EXPECT_TRUE(topRow->expandable);
    EXPECT_EQ(m_reader->numberOfChildrenOfItem(nullptr), 1u);
    ASSERT_EQ(m_reader->numberOfChildrenOfItem(topRow.get()), 1u) << "entries of the TOC object";

    const VeskInspectorRowRef mobList = m_reader->child(0, topRow.get());
    EXPECT_EQ(mobList->index, 0u);
    EXPECT_TRUE(mobList->expandable);
    ASSERT_EQ(m_reader->numberOfChildrenOfItem(mobList.get()), 1u);
    const VeskInspectorRowRef mob = m_reader->child(0, mobList.get());
    EXPECT_EQ(mob->index, 3u) << "the mob's first entry";
    EXPECT_EQ(mob, m_reader->child(0, mobList.get())) << "the same row object when asked again";

    ASSERT_EQ(m_reader->numberOfChildrenOfItem(mob.get()), 5u);
    EXPECT_EQ(m_reader->child(4, mob.get())->index, 8u);
    EXPECT_FALSE(m_reader->child(5, mob.get()));
    EXPECT_FALSE(m_reader->child(0, m_reader->child(0, mob.get()).get())) << "a string has no children";

    const VeskInspectorRowRef reference = row(11);
    EXPECT_EQ(m_reader->numberOfChildrenOfItem(reference.get()), 1u);
    EXPECT_EQ(m_reader->child(0, reference.get()), mob);
}

TEST_F(BentoInspector, ClassEntryOfTheTocObjectIsNotExpandable)
{
    m_writer = BentoWriter();
    m_writer.stored(1, 0x10061, 0x10081, "HEAD");
    m_writer.stored(1, 0x10999, 0x10068, "abcd");
    m_writer.stored(1, 0x10333, 0x10077, BentoWriter::reference(77)); // names no object
    ASSERT_TRUE(open(m_writer.bytes()));
    EXPECT_FALSE(m_reader->outline().isTocItemExpandable(0));
    EXPECT_EQ(m_reader->outline().numberOfChildrenOfItemByTocIndex(0), 2u);
    EXPECT_FALSE(m_reader->child(0, row(2).get())) << "an unresolved reference has no child";
}

TEST_F(BentoInspector, DescriptionOfAnImmediateAndOfANamedStoredValue)
{
    EXPECT_EQ(description(7),
        QStringLiteral("OMFI:Object TOCIndex [ 7 ]\n"
                       "   BentoID  |  Prop Name  |  Prop Type  | Value/offset| Value length|  isExternal |\n"
                       "50 00 00 00 | 3d 03 01 00 | 68 00 01 00 | 07 00 00 00 | 04 00 00 00 | 00 00 00 00 | \n"
                       "Bento object ID = 0x50\n"
                       "omfi_Long = 7"));
    EXPECT_TRUE(description(4).endsWith(QStringLiteral("\nBento object ID = 0x50\n"
                                                       "Property Name = [0x10261]OMFI:MOBJ:Name\n"
                                                       "Property Type Name = [0x10090]omfi:String\n"
                                                       "Value is external\n stored at offset 0x%1 has length 0x5\n"
                                                       "43 6c 69 70 | 00 \n"
                                                       "String Value = Clip")
                                            .arg(m_writer.entry(4).offset, 0, 16)));
    EXPECT_EQ(VeskOMFIInspectorText(*m_reader).getExtendedDescriptionFor(nullptr), QStringLiteral("OMFI:Object "));
    EXPECT_FALSE(m_reader->getNSViewWithContentsFor(nullptr));
    const std::optional<VeskPreviewContents> preview = m_reader->getNSViewWithContentsFor(row(7).get());
    EXPECT_EQ(preview->text, description(7));
    EXPECT_EQ(preview->style, VeskPreviewContents::Style::FixedPitchText);
}

TEST_F(BentoInspector, TypedValuesFollowTheValueByteOrder)
{
    for (const bool bigEndian : { false, true }) {
        m_writer = BentoWriter(bigEndian);
        m_writer.immediate(9, 0x10999, 0x10045, "\x01");
        m_writer.immediate(9, 0x10999, 0x1004a, "\xff");
        m_writer.immediate(9, 0x10999, 0x1008b, m_writer.u16(0xFFFE));
        m_writer.immediate(9, 0x10999, 0x100a9, m_writer.u32(0x00020001));
        m_writer.immediate(9, 0x10999, 0x100b3, m_writer.u16(65535));
        m_writer.immediate(9, 0x10999, 0x10068, "\x01"); // too short for its type
        m_writer.stored(9, 0x1027f, 0x10099, BentoWriter::text("Project"));
        ASSERT_TRUE(open(m_writer.bytes()));
        const QString endings[] = { QStringLiteral("\nomfi_Boolean= TRUE"), QStringLiteral("\nomfi_Char = -1"),
            QStringLiteral("\nomfi_Short = -2"),
            QStringLiteral("\nomfi_Ulong = 131073\nomfi_Ushort = %1").arg(bigEndian ? 2 : 1),
            QStringLiteral("\nomfi_Ushort = 65535"), QStringLiteral("\nBento object ID = 0x9"),
            QStringLiteral("\nString Value = Project") };
        for (uint32_t t = 0; t < 7; ++t)
            EXPECT_TRUE(description(t).endsWith(endings[t])) << description(t).toStdString();
    }
}

// The front end picks the reader by the extension and forwards the outline to it.
class MediaFileFrontEnd : public ReaderTest {
protected:
    VeskMediafile m_file;
};

TEST_F(MediaFileFrontEnd, OpensAnMdbAndForwardsToItsReader)
{
    ASSERT_TRUE(m_file.openFile(write(QStringLiteral("msmMMOB.MDB"),
                                    MdbWriter()
                                        .media(MdbMedia::numbered(1, "Clip 1", "Show"))
                                        .media(MdbMedia::numbered(2, "Clip 2", "Show"))
                                        .bytes()),
        nullptr));
    // The scanner's tests read the items' information through the front end.
    EXPECT_TRUE(m_file.isOpen());
    EXPECT_EQ(m_file.Filetype(), 1u);
    EXPECT_EQ(m_file.getMDBCompositionsCount(), 2u);

    const VeskInspectorRowRef top = m_file.child(0, nullptr);
    EXPECT_EQ(m_file.objectValueFor(top.get()), QStringLiteral("[ ID=0x1] CM_StdObjID_TOC"));
    EXPECT_EQ(m_file.objectValueFor(nullptr), QStringLiteral("..."));
    EXPECT_TRUE(m_file.isItemExpandable(top.get()));
    EXPECT_EQ(m_file.numberOfChildrenOfItem(top.get()), 2u) << "both mob lists";
    EXPECT_EQ(m_file.getNSViewWithContentsFor(top.get())->style, VeskPreviewContents::Style::FixedPitchText);
}

// Files no reader takes, or that their reader refuses, still answer the outline: the
// container reader with an empty top row, the others with the placeholder.
TEST_F(MediaFileFrontEnd, FilesThatCannotBeReadStillAnswerTheOutline)
{
    const struct {
        const char *name;
        QByteArray bytes;
        QString top;
    } cases[] = {
        { "notes.txt", "text", QStringLiteral("No File Loaded") },
        { "take.wav", "RIFF" + QByteArray(400, '\0'), QStringLiteral("[ ID=0x1] CM_StdObjID_TOC") },
        { "take.Omf", "omf", QStringLiteral("[ ID=0x1] CM_StdObjID_TOC") },
        { "take.Aif", "aif", QStringLiteral("[ ID=0x1] CM_StdObjID_TOC") },
        { "notes.mdbx", "mdbx", QStringLiteral("No File Loaded") },
        { "README", "no extension", QStringLiteral("No File Loaded") },
        { "clip.mxf", QByteArray(2048, '\x01'), QStringLiteral("No File Loaded") },
        { "edit.AAF", "aaf", QStringLiteral("No File Loaded") },
    };
    for (const auto &c : cases) {
        const QString path = write(QString::fromLatin1(c.name), c.bytes);
        m_file.openFile(path, nullptr);
        EXPECT_EQ(m_file.FileUrl(), path);
        EXPECT_EQ(m_file.getMDBCompositionsCount(), 0u);
        ASSERT_EQ(m_file.numberOfChildrenOfItem(nullptr), 1u) << c.name;
        const VeskInspectorRowRef top = m_file.child(0, nullptr);
        EXPECT_EQ(top->name, c.top) << c.name;
        if (c.top == QStringLiteral("No File Loaded")) {
            EXPECT_FALSE(m_file.isItemExpandable(top.get()));
            EXPECT_EQ(m_file.getNSViewWithContentsFor(top.get())->style, VeskPreviewContents::Style::Label);
        } else {
            EXPECT_EQ(m_file.numberOfChildrenOfItem(top.get()), 0u) << c.name;
        }
    }
    EXPECT_EQ(m_file.Filetype(), 0u);
    EXPECT_FALSE(m_file.isItemExpandable(nullptr));
    EXPECT_FALSE(m_file.getNSViewWithContentsFor(nullptr));
    EXPECT_FALSE(m_file.openFile(QString(), nullptr));
    EXPECT_EQ(VeskMediafile::readerForExtension(QStringLiteral("aaf"))->getType(), 3u);
    EXPECT_TRUE(VeskConsole::sharedInstance()->text().contains(QStringLiteral(":: AAf file : open\n")));
}
