#include "base/VeskConsole.h"
#include "readers/VeskMediafile.h"

#include "support/MdbWriter.h"
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
