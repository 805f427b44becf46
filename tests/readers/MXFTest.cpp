#include "ReaderTest.h"

#include "readers/VeskFFmpegLog.h"
#include "readers/VeskMXF.h"

#include "support/MXFWriter.h"

extern "C" {
#include <libavutil/log.h>
}

#include <thread>
#include <tuple>
#include <vector>

namespace {

QByteArray uidBytes(const VeskUUID *uid)
{
    return QByteArray(reinterpret_cast<const char *>(uid->UMIDx.data()), 32);
}

// What an MXF read may change on an item.
auto stateOf(const VeskDatabaseItem &item)
{
    return std::tuple(item.DB_NameInBin(), item.DB_ProjectName(), uidBytes(item.DB_filePackageUID()),
        uidBytes(item.DB_materialPackageUID()), item.DB_SizeofUID());
}

// An item as a media index leaves it: 8-byte UID, a project and a name.
void fillFromIndex(VeskDatabaseItem &item)
{
    item.setFileUIDWithNSData(QByteArray::fromHex("1122334455667788"));
    item.setDB_ProjectName(QStringLiteral("Index Project"));
    item.setDB_NameInBin(QStringLiteral("Index Name"));
}

MXFWriter::Clip clip(uint32_t seed, const QString &name, const std::optional<QString> &project)
{
    return { name, project, MXFWriter::umid(seed), MXFWriter::umid(seed + 1) };
}

} // namespace

using MXFReader = ReaderTest;

TEST_F(MXFReader, OpAtomFileGivesClipProjectAndBothUIDs)
{
    MXFWriter::Clip written = clip(0x01020304, QStringLiteral("Interview é 01"), QStringLiteral("Feature"));
    written.fileUMID.replace(16, 8, QByteArray::fromHex("0102030405060708"));
    VeskMXF reader;
    ASSERT_TRUE(reader.openFile(write(QStringLiteral("a.mxf"), MXFWriter::opAtomBytes(written)), nullptr));
    EXPECT_EQ(reader.getType(), 4u);
    EXPECT_EQ(reader.info().keys(), (QStringList { "clipname", "fileUID", "matUID", "project" }));
    EXPECT_EQ(reader.info().value("fileUID").toByteArray(), written.fileUMID);
    EXPECT_EQ(reader.info().value("matUID").toByteArray(), written.materialUMID);

    VeskDatabaseItem item;
    fillFromIndex(item);
    reader.addInfoToItem(item);
    EXPECT_EQ(item.DB_NameInBin(), QStringLiteral("Interview é 01"));
    EXPECT_EQ(item.DB_ProjectName(), QStringLiteral("Feature"));
    EXPECT_EQ(item.DB_SizeofUID(), 8u);
    EXPECT_EQ(uidBytes(item.DB_filePackageUID()), VeskMXF::swapUUIDfromMXFtoVesk(written.fileUMID));
    EXPECT_EQ(uidBytes(item.DB_materialPackageUID()), VeskMXF::swapUUIDfromMXFtoVesk(written.materialUMID));
    EXPECT_TRUE(item.DB_isGoodUUID());
    // The identity is the material number's first eight bytes in little-endian field order.
    EXPECT_EQ(uidBytes(item.DB_filePackageUID()).mid(16, 8), QByteArray::fromHex("0403020106050807"));
}

TEST_F(MXFReader, AbsentNamesClearTheIndexNames)
{
    VeskMXF reader;
    VeskDatabaseItem item;
    fillFromIndex(item);
    ASSERT_TRUE(reader.openFile(write("none.mxf", MXFWriter::opAtomBytes(clip(7, {}, std::nullopt))), nullptr));
    EXPECT_EQ(reader.info().keys(), (QStringList { "fileUID", "matUID" }));
    reader.addInfoToItem(item);
    EXPECT_TRUE(item.DB_NameInBin().isNull());
    EXPECT_EQ(item.get_DB_ProjectName(), VeskDatabaseItem::GetProjectNameNull());

    // libavformat drops zero-length tags, so an empty project name reads as none.
    ASSERT_TRUE(reader.openFile(write("empty.mxf", MXFWriter::opAtomBytes(clip(9, "c", QString("")))), nullptr));
    EXPECT_FALSE(reader.info().contains("project"));
}

TEST_F(MXFReader, UnreadableAndOP1aFilesGiveNoInformation)
{
    VeskMXF reader;
    ASSERT_TRUE(reader.openFile(write("good.mxf", MXFWriter::opAtomBytes(clip(1, "x", "p"))), nullptr));
    EXPECT_FALSE(reader.openFile(path("missing.mxf"), nullptr));
    EXPECT_TRUE(reader.info().isEmpty()) << "a failed read forgets the earlier one";
    EXPECT_FALSE(logged().contains("Failed"));

    // A header after the first 64 KiB is not searched for.
    const QByteArray late = QByteArray(70000, '\0') + MXFWriter::opAtomBytes(clip(1, "x", "p"));
    for (const QByteArray &bytes : { QByteArray(), QByteArray("This is a text file, not MXF.\n"), late }) {
        VeskConsole::sharedInstance()->Reset();
        EXPECT_TRUE(reader.openFile(write("bad.mxf", bytes), nullptr));
        EXPECT_TRUE(reader.info().isEmpty());
        EXPECT_TRUE(logged().contains(":: Failed to read header partition\n")) << logged().toStdString();
    }

    // An OP1a file opens but is refused, and leaves the item alone.
    VeskConsole::sharedInstance()->Reset();
    ASSERT_TRUE(MXFWriter::writeOP1a(path("op1a.mxf"), clip(3, "OP1a", std::nullopt)));
    EXPECT_TRUE(reader.openFile(path("op1a.mxf"), nullptr));
    EXPECT_TRUE(reader.info().isEmpty());
    EXPECT_TRUE(logged().contains(":: File is not OP-Atom\n"));
    VeskDatabaseItem item;
    fillFromIndex(item);
    const auto before = stateOf(item);
    reader.addInfoToItem(item);
    EXPECT_EQ(stateOf(item), before);
}

TEST_F(MXFReader, ReadsEightFilesAtOnceOnSeveralThreads)
{
    std::vector<QVariantMap> expected;
    for (uint32_t i = 0; i < 8; ++i) {
        const MXFWriter::Clip c
            = clip(0x100 * (i + 1), QStringLiteral("Clip %1").arg(i), QStringLiteral("Project %1").arg(i));
        ASSERT_TRUE(MXFWriter::writeOpAtom(path(QStringLiteral("clip%1.mxf").arg(i)), c));
        expected.push_back({ { "clipname", c.clipName }, { "fileUID", c.fileUMID }, { "matUID", c.materialUMID },
            { "project", *c.projectName } });
    }
    std::vector<int> matches(expected.size(), 0);
    std::vector<std::thread> threads;
    for (uint32_t t = 0; t < expected.size(); ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round) {
                VeskMXF reader;
                reader.openFile(path(QStringLiteral("clip%1.mxf").arg(t)), nullptr);
                matches[t] += reader.info() == expected[t];
            }
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(matches, std::vector<int>(expected.size(), 10));
}

TEST_F(MXFReader, FFmpegWarningsGoToTheConsoleNotToTheTerminalCappedPerFile)
{
    VeskMXF reader;
    ::testing::internal::CaptureStderr();
    reader.openFile(write("text.mxf", MXFWriter::opAtomBytes(clip(1, "x", "p")).left(100)), nullptr);
    av_log(nullptr, AV_LOG_INFO, "chatter\n");
    av_log(nullptr, AV_LOG_WARNING, "first half, ");
    av_log(nullptr, AV_LOG_WARNING, "second half\n");
    const std::string terminal = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(terminal, "");
    EXPECT_TRUE(logged().contains("(FFmpeg) :: [mxf @ ")) << logged().toStdString();
    EXPECT_TRUE(logged().contains("(FFmpeg) :: first half, second half\n")) << logged().toStdString();
    EXPECT_FALSE(logged().contains("chatter"));

    // The lines about one file are capped; the count of the others follows them.
    for (int file = 0; file < 2; ++file) {
        const VeskFFmpegLog messages;
        for (int i = 0; i < VeskFFmpegLog::kLinesPerFile + 5; ++i)
            av_log(nullptr, AV_LOG_ERROR, "damaged %d\n", i);
    }
    EXPECT_EQ(logged().count("damaged 19\n"), 2);
    EXPECT_EQ(logged().count("damaged 20\n"), 0);
    EXPECT_EQ(logged().count("(FFmpeg) :: 5 more messages about this file were dropped\n"), 2);
}
