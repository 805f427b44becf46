#include "base/VeskConsole.h"
#include "readers/VeskMediafile.h"

#include "support/MdbWriter.h"
#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

MdbMedia media(uint64_t number)
{
    return MdbMedia::numbered(number, "Clip " + QByteArray::number(number), "Show");
}

} // namespace

class MediaFileFrontEnd : public ::testing::Test {
protected:
    void SetUp() override { VeskConsole::sharedInstance()->Reset(); }
    QString write(const QString &name, const QByteArray &bytes) const { return m_files.write(name, bytes); }

    TestFiles m_files;
    VeskMediafile m_file;
};

TEST_F(MediaFileFrontEnd, ChoosesTheReaderByExtensionInAnyCase)
{
    for (const char *extension : { "mdb", "MDB", "omf", "Aif", "wav" })
        EXPECT_EQ(VeskMediafile::readerForExtension(QLatin1String(extension))->getType(), 1u) << extension;
    EXPECT_EQ(VeskMediafile::readerForExtension(QStringLiteral("MXF"))->getType(), 4u);
    EXPECT_EQ(VeskMediafile::readerForExtension(QStringLiteral("aaf"))->getType(), 3u);
    for (const char *extension : { "txt", "", "mdbx" })
        EXPECT_FALSE(VeskMediafile::readerForExtension(QLatin1String(extension))) << extension;
}

TEST_F(MediaFileFrontEnd, OpensAnMdbAndForwardsToItsReader)
{
    ASSERT_TRUE(m_file.openFile(
        write(QStringLiteral("msmMMOB.MDB"), MdbWriter().media(media(1)).media(media(2)).bytes()), nullptr));
    EXPECT_TRUE(m_file.isOpen());
    EXPECT_EQ(m_file.Filetype(), 1u);
    EXPECT_EQ(m_file.getMDBCompositionsCount(), 2u);
    VeskDatabaseItem item;
    item.setMaterialUIDWithNSData(media(2).materialUID);
    m_file.addInfoToItem(item);
    EXPECT_EQ(item.DB_NameInBin(), QStringLiteral("Clip 2"));

    const VeskInspectorRowRef top = m_file.child(0, nullptr);
    EXPECT_EQ(m_file.objectValueFor(top.get()), QStringLiteral("[ ID=0x1] CM_StdObjID_TOC"));
    EXPECT_EQ(m_file.objectValueFor(nullptr), QStringLiteral("..."));
    EXPECT_TRUE(m_file.isItemExpandable(top.get()));
    EXPECT_EQ(m_file.numberOfChildrenOfItem(top.get()), 2u) << "both mob lists";
    EXPECT_EQ(m_file.getNSViewWithContentsFor(top.get())->style, VeskPreviewContents::Style::FixedPitchText);
}

TEST_F(MediaFileFrontEnd, UnknownExtensionShowsThePlaceholder)
{
    const QString path = write(QStringLiteral("notes.txt"), "text");
    EXPECT_FALSE(m_file.openFile(path, nullptr));
    EXPECT_EQ(m_file.FileUrl(), path);
    EXPECT_EQ(m_file.Filetype(), 0u);
    EXPECT_EQ(m_file.numberOfChildrenOfItem(nullptr), 1u);
    const VeskInspectorRowRef placeholder = m_file.child(0, nullptr);
    EXPECT_EQ(placeholder->name, QStringLiteral("No File Loaded"));
    EXPECT_FALSE(m_file.isItemExpandable(placeholder.get()));
    EXPECT_FALSE(m_file.isItemExpandable(nullptr));
    const std::optional<VeskPreviewContents> preview = m_file.getNSViewWithContentsFor(placeholder.get());
    EXPECT_EQ(preview->text, QStringLiteral("No File Loaded"));
    EXPECT_EQ(preview->style, VeskPreviewContents::Style::Label);
    EXPECT_FALSE(m_file.getNSViewWithContentsFor(nullptr));
    EXPECT_FALSE(m_file.openFile(QString(), nullptr));
}

TEST_F(MediaFileFrontEnd, FailedReadersStillAnswerTheOutline)
{
    // A wave file is handed to the container reader, which refuses it and shows an
    // empty top row.
    EXPECT_FALSE(m_file.openFile(write(QStringLiteral("take.wav"), "RIFF" + QByteArray(400, '\0')), nullptr));
    EXPECT_EQ(m_file.Filetype(), 0u);
    EXPECT_EQ(m_file.getMDBCompositionsCount(), 0u);
    const VeskInspectorRowRef top = m_file.child(0, nullptr);
    EXPECT_EQ(top->name, QStringLiteral("[ ID=0x1] CM_StdObjID_TOC"));
    EXPECT_EQ(m_file.numberOfChildrenOfItem(top.get()), 0u);

    // Readers that leave the outline out get the placeholder.
    m_file.openFile(write(QStringLiteral("clip.mxf"), QByteArray(2048, '\x01')), nullptr);
    EXPECT_EQ(m_file.numberOfChildrenOfItem(nullptr), 1u);
    EXPECT_EQ(m_file.child(0, nullptr)->name, QStringLiteral("No File Loaded"));

    EXPECT_FALSE(m_file.openFile(write(QStringLiteral("edit.AAF"), "aaf"), nullptr));
    EXPECT_TRUE(VeskConsole::sharedInstance()->text().contains(QStringLiteral(":: AAf file : open\n")));
    EXPECT_EQ(m_file.child(0, nullptr)->name, QStringLiteral("No File Loaded"));
}
