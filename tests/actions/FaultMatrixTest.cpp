// Every action against every fault it can meet: after each case every source file is
// where it was or at its target (or in the trash), byte for byte, never nowhere, no
// partial file is left behind, and the log says which.

#include "ActionTestSupport.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QStorageInfo>

#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

enum class Kind { Copy, MoveSame, MoveCross, Delete };
enum class Fault {
    ExistsNo,
    ExistsYes,
    ExistsYesToAll,
    FolderBlocked,
    ReadOnly,
    Unreadable,
    Full,
    CancelBefore,
    CancelDuring,
    CancelAfter,
    Fifo,
    Link,
    FullIndex,
    Stale
};
enum class Where { Source, Target, Both, Trash, Removed };
enum class End { Done, Skipped, Failed, None };

struct Case {
    Kind kind;
    Fault fault;
    Where where;
    End end;
    const char *logSays;
};

const char *const kKindNames[] = { "Copy", "MoveSameVolume", "MoveAcrossVolumes", "Delete" };
const char *const kFaultNames[] = { "TargetExistsNo", "TargetExistsYes", "TargetExistsYesToAll", "TargetFolderBlocked",
    "ReadOnlySource", "UnreadableSource", "TargetFull", "CancelBefore", "CancelDuring", "CancelAfter", "SourceIsFifo",
    "SourceIsLink", "TargetFullAtIndex", "StaleTemporary" };

constexpr qint64 kBigFile = 200 * 1000 * 1000;
constexpr uid_t kNobody = 65534;
const QDateTime kPast = QDateTime::fromSecsSinceEpoch(1500000000);

class MatrixOperation : public VeskActionOperation {
public:
    using VeskActionOperation::VeskActionOperation;
    bool unprivileged = false;
    bool cancelAtFirstData = false;

    // Runs this thread's file accesses as an unprivileged user, so that access rights
    // hold for a test run by root too.
    void main() override
    {
        const bool drop = unprivileged && geteuid() == 0;
        const auto become = [drop](uid_t id) {
            if (drop) {
                setfsgid(id);
                setfsuid(id);
            }
        };
        become(kNobody);
        VeskActionOperation::main();
        become(0);
    }
    bool copyFileCallback(int64_t bytesCopied) override
    {
        if (cancelAtFirstData && bytesCopied > 0)
            cancel();
        return VeskActionOperation::copyFileCallback(bytesCopied);
    }
};

// Cancels the operation as it reaches its item, for actions that copy no data.
struct CancelAtItem : VeskActionOperationDelegate {
    void VeskActionOperationStatusUpdate(VeskActionOperation &operation) override { operation.cancel(); }
};

void makeOpen(const QString &folder)
{
    QFile::setPermissions(folder, QFile::Permissions(0x7777));
}

} // namespace

class FaultMatrix : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        const Case &c = GetParam();
        skipReason = prepareTargetRoot(c);
        if (skipReason)
            return;
        makeOpen(source.path());
        makeOpen(targetRoot);
        const bool big
            = c.fault == Fault::CancelBefore || c.fault == Fault::CancelDuring || c.fault == Fault::CancelAfter;
        if (big) {
            sourcePath = source.writeSparse(QStringLiteral("1/big.mxf"), kBigFile);
        } else if (c.fault == Fault::Fifo) {
            sourcePath = source.path() + QStringLiteral("/1/media.mxf");
            QDir().mkpath(QFileInfo(sourcePath).path());
            ASSERT_EQ(mkfifo(QFile::encodeName(sourcePath).constData(), 0644), 0);
        } else {
            QByteArray bytes(c.fault == Fault::Full ? 2 * 1024 * 1024 : 65536, Qt::Uninitialized);
            QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            sourcePath = source.write(QStringLiteral("1/media.mxf"), bytes);
            if (c.fault == Fault::FullIndex)
                source.write(QStringLiteral("1/msmFMID.pmr"), QByteArray(2 * 1024 * 1024, 'i'));
        }
        if (c.fault == Fault::Link) {
            linkedPath = source.path() + QStringLiteral("/elsewhere.mxf");
            ASSERT_TRUE(QFile::rename(sourcePath, linkedPath) && QFile::link(linkedPath, sourcePath));
        }
        makeOpen(QFileInfo(sourcePath).path());
        if (c.fault != Fault::Fifo) {
            original = fileDigest(sourcePath);
            QFile file(sourcePath);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(kPast, QFileDevice::FileModificationTime));
            hasAttribute = setxattr(QFile::encodeName(sourcePath).constData(), "user.vesk", "kept", 4, 0) == 0;
        }
        targetPath = targetRoot + QStringLiteral("/Promo/MXF/") + QFileInfo(sourcePath).fileName();
        trashPath = trashFilesFolder() + QLatin1Char('/') + QFileInfo(sourcePath).fileName();
        QFile::remove(trashPath);
    }

    void TearDown() override
    {
        clearTrash();
        if (mounted)
            umount2(QFile::encodeName(mounted->path()).constData(), MNT_DETACH);
    }

    // The folder the actions write to; a reason to skip when it cannot be made.
    const char *prepareTargetRoot(const Case &c)
    {
        targetRoot = target.path();
        if (c.fault == Fault::Full || c.fault == Fault::FullIndex) {
            mounted = std::make_unique<QTemporaryDir>();
            targetRoot = mounted->path();
            if (mount("tmpfs", QFile::encodeName(targetRoot).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    "size=1m,mode=0777")
                != 0) {
                mounted.reset();
                return "cannot mount a small file system here";
            }
        } else if (c.kind == Kind::MoveCross) {
            shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/vesk-matrix-XXXXXX"));
            targetRoot = shm->path();
            if (!shm->isValid() || QStorageInfo(targetRoot).rootPath() == QStorageInfo(source.path()).rootPath())
                return "no second file system at /dev/shm";
        }
        return nullptr;
    }

    void arrange(const Case &c, MatrixOperation &operation)
    {
        const bool isMove = c.kind == Kind::MoveSame || c.kind == Kind::MoveCross;
        const bool exists
            = c.fault == Fault::ExistsNo || c.fault == Fault::ExistsYes || c.fault == Fault::ExistsYesToAll;
        const QString answer = c.fault == Fault::ExistsNo ? QStringLiteral("No")
            : c.fault == Fault::ExistsYes                 ? QStringLiteral("Yes")
                                                          : QStringLiteral("Yes to All");
        if (isMove)
            alerts.on(kCopyInstead, QStringLiteral("Yes"));
        alerts.answerErrorsWith(QStringLiteral("Ok"));
        if (exists && c.kind == Kind::Delete) {
            breakTrash();
            alerts.on(kRemoveForGood, answer);
        } else if (exists) {
            oldTarget = "the target that was there before";
            ASSERT_TRUE(TestFiles::writeFile(targetPath, oldTarget));
            alerts.on(kOverwrite, answer);
        }
        ASSERT_TRUE(c.fault != Fault::FolderBlocked || TestFiles::writeFile(targetRoot + QStringLiteral("/Promo"), {}));
        if (c.fault == Fault::ReadOnly || c.fault == Fault::Unreadable) {
            QFile::setPermissions(sourcePath,
                c.fault == Fault::ReadOnly ? QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther
                                           : QFile::Permissions());
            operation.unprivileged = true;
            if (c.kind == Kind::Delete)
                openTrashToEveryone();
        }
        if (c.fault == Fault::CancelDuring) {
            if (c.kind == Kind::Copy || c.kind == Kind::MoveCross)
                operation.cancelAtFirstData = true;
            else
                operation.setDelegate(cancelAtItem);
        }
        if (c.fault == Fault::CancelBefore)
            operation.cancel();
        if (c.fault == Fault::Stale)
            leaveTemporaries();
    }

    // One left by a killed copy, and one that a running copy holds locked.
    void leaveTemporaries()
    {
        const QString folder = QFileInfo(targetPath).path();
        ASSERT_TRUE(TestFiles::writeFile(folder + QStringLiteral("/.vesk-copy-stale1"), {}));
        held = std::make_unique<QFile>(folder + QStringLiteral("/.vesk-copy-held1"));
        ASSERT_TRUE(held->open(QIODevice::WriteOnly));
        ASSERT_EQ(flock(held->handle(), LOCK_EX), 0);
    }

    void openTrashToEveryone()
    {
        const QString trash = QFileInfo(trashFilesFolder()).path();
        QDir().mkpath(trash + QStringLiteral("/files"));
        QDir().mkpath(trash + QStringLiteral("/info"));
        for (const QString &folder :
            { QFileInfo(trash).path(), trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info") })
            makeOpen(folder);
    }

    void expectWhere(Where where)
    {
        if (GetParam().fault == Fault::Fifo) {
            struct stat st { };
            EXPECT_TRUE(lstat(QFile::encodeName(sourcePath).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
            EXPECT_FALSE(QFileInfo::exists(targetPath));
            return;
        }
        EXPECT_TRUE(linkedPath.isEmpty() || fileDigest(linkedPath) == original);
        // Whether the original bytes are at the source, at the target, in the trash.
        static constexpr bool kAt[][3] = { { true, false, false }, { false, true, false }, { true, true, false },
            { false, false, true }, { false, false, false } };
        const bool *at = kAt[int(where)];
        EXPECT_EQ(QFileInfo::exists(sourcePath), at[0]);
        EXPECT_EQ(fileDigest(sourcePath) == original, at[0]);
        EXPECT_EQ(fileDigest(targetPath) == original, at[1]);
        EXPECT_EQ(QFileInfo::exists(trashPath), at[2]);
        EXPECT_EQ(fileDigest(trashPath) == original, at[2]);
        // A copy keeps the times, permissions and extended attributes, within one file
        // system and across two, a read-only file's too.
        char value[8] = {};
        if (at[1]) {
            EXPECT_EQ(QFileInfo(targetPath).lastModified(), kPast);
            EXPECT_EQ(QFileInfo(targetPath).permissions(), permissions);
            EXPECT_TRUE(
                !hasAttribute || getxattr(QFile::encodeName(targetPath).constData(), "user.vesk", value, 8) == 4);
        }
        if (where == Where::Source) {
            EXPECT_EQ(QFileInfo::exists(targetPath), !oldTarget.isEmpty());
            EXPECT_EQ(readAll(targetPath), oldTarget);
        }
    }

    TestFiles source;
    TestFiles target;
    std::unique_ptr<QTemporaryDir> shm;
    std::unique_ptr<QTemporaryDir> mounted;
    const char *skipReason = nullptr;
    QString targetRoot;
    QString sourcePath;
    QString targetPath;
    QString trashPath;
    QString linkedPath;
    std::unique_ptr<QFile> held;
    QByteArray original;
    bool hasAttribute = false;
    QFile::Permissions permissions;
    QByteArray oldTarget;
    ScriptedAlerts alerts;
    std::shared_ptr<CancelAtItem> cancelAtItem = std::make_shared<CancelAtItem>();
};

TEST_P(FaultMatrix, NothingIsLost)
{
    if (skipReason)
        GTEST_SKIP() << skipReason;
    const Case &c = GetParam();
    const VeskItemRef item = makeItem(sourcePath);
    auto operation = std::make_shared<MatrixOperation>(properties(QString::fromLatin1(c.kind == Kind::Copy ? "Copy"
                                                                          : c.kind == Kind::Delete         ? "Delete"
                                                                                                           : "Move"),
        { item }, targetRoot));
    arrange(c, *operation);
    if (HasFatalFailure())
        return;
    permissions = QFileInfo(sourcePath).permissions();
    runToEnd(operation);
    if (c.fault == Fault::CancelAfter)
        operation->cancel();
    if (QFileInfo::exists(sourcePath))
        QFile::setPermissions(sourcePath, QFile::ReadOwner | QFile::WriteOwner);

    expectWhere(c.where);
    EXPECT_FALSE(QFileInfo(targetPath).isSymLink());
    const uint64_t ends[] = { operation->doneCount(), operation->skippedCount(), operation->failedCount() };
    for (int end = 0; end < 3; ++end)
        EXPECT_EQ(ends[end], end == int(c.end) ? 1u : 0u) << "outcome " << end;
    // An index travels whole or not at all.
    const QString index = QFileInfo(targetPath).path() + QStringLiteral("/msmFMID.pmr");
    EXPECT_TRUE(!QFileInfo::exists(index)
        || fileDigest(index) == fileDigest(QFileInfo(sourcePath).path() + QStringLiteral("/msmFMID.pmr")));
    if (held) {
        EXPECT_TRUE(held->exists());
        held->remove();
    }
    const QString log = operation->actionLog();
    EXPECT_TRUE(log.contains(QString::fromLatin1(c.logSays))) << log.toStdString();
    EXPECT_EQ(log.contains(QStringLiteral("VeskAction Cancelled")),
        c.fault == Fault::CancelBefore || c.fault == Fault::CancelDuring)
        << log.toStdString();
    // The names a copy leaves only while it runs.
    EXPECT_EQ(QDir(QFileInfo(targetPath).path())
                  .entryList({ QStringLiteral(".vesk-copy-*"), QStringLiteral(".goutputstream*") },
                      QDir::Files | QDir::Hidden | QDir::System),
        QStringList());
    // The database follows the file: an item whose file went is marked so, others not.
    EXPECT_EQ(item->DB_FileExists(), QFileInfo::exists(sourcePath));
    EXPECT_EQ(item->DB_isValid(), QFileInfo::exists(sourcePath));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Actions, FaultMatrix, ::testing::Values(
    Case { Kind::Copy, Fault::ExistsNo, Where::Source, End::Skipped, ":: SKIPPING \n" },
    Case { Kind::Copy, Fault::ExistsYes, Where::Both, End::Done, ":: OVERWRITING \n" },
    Case { Kind::Copy, Fault::ExistsYesToAll, Where::Both, End::Done, " :: DONE ::\n" },
    Case { Kind::Copy, Fault::FolderBlocked, Where::Source, End::Failed, ":: ERROR :: " },
    Case { Kind::Copy, Fault::ReadOnly, Where::Both, End::Done, " :: DONE ::\n" },
    Case { Kind::Copy, Fault::Unreadable, Where::Source, End::Failed, " :: ERROR ::\n" },
    Case { Kind::Copy, Fault::Full, Where::Source, End::Failed, " :: ERROR ::\n" },
    Case { Kind::Copy, Fault::CancelBefore, Where::Source, End::None, "VeskAction Finished" },
    Case { Kind::Copy, Fault::CancelDuring, Where::Source, End::None, " :: ERROR ::\n" },
    Case { Kind::Copy, Fault::CancelAfter, Where::Both, End::Done, " :: DONE ::\n" },
    Case { Kind::Copy, Fault::Fifo, Where::Source, End::Failed, "is a FIFO, not a regular file" },
    Case { Kind::Copy, Fault::Link, Where::Both, End::Done, " :: DONE ::\n" },
    Case { Kind::Copy, Fault::FullIndex, Where::Source, End::Failed, "/msmFMID.pmr to " },
    Case { Kind::Copy, Fault::Stale, Where::Both, End::Done, "removed the stale temporary file" },

    Case { Kind::MoveSame, Fault::ExistsNo, Where::Source, End::Skipped, ":: SKIPPING \n:: file is not moveable \n:: COPYING \n" },
    Case { Kind::MoveSame, Fault::ExistsYes, Where::Target, End::Done, ":: OVERWRITING \n" },
    Case { Kind::MoveSame, Fault::ExistsYesToAll, Where::Target, End::Done, ":: OVERWRITING \n" },
    Case { Kind::MoveSame, Fault::FolderBlocked, Where::Source, End::Failed, ":: file is not moveable \n" },
    Case { Kind::MoveSame, Fault::ReadOnly, Where::Both, End::Done, ":: file is not moveable \n:: COPYING \n" },
    Case { Kind::MoveSame, Fault::Unreadable, Where::Source, End::Failed, " :: ERROR ::\n" },
    Case { Kind::MoveSame, Fault::CancelBefore, Where::Source, End::None, "VeskAction Finished" },
    Case { Kind::MoveSame, Fault::CancelDuring, Where::Target, End::None, ":: move\n" },
    Case { Kind::MoveSame, Fault::CancelAfter, Where::Target, End::Done, ":: move\n" },
    Case { Kind::MoveSame, Fault::Fifo, Where::Source, End::Failed, "is a FIFO, not a regular file" },
    Case { Kind::MoveSame, Fault::Link, Where::Source, End::Failed, "links are not moved" },

    Case { Kind::MoveCross, Fault::ExistsNo, Where::Source, End::Skipped, ":: SKIPPING \n:: file is not moveable \n" },
    Case { Kind::MoveCross, Fault::ExistsYes, Where::Target, End::Done, " :: DONE ::\n" },
    Case { Kind::MoveCross, Fault::ExistsYesToAll, Where::Target, End::Done, " :: DONE ::\n" },
    Case { Kind::MoveCross, Fault::FolderBlocked, Where::Source, End::Failed, ":: file is not moveable \n" },
    Case { Kind::MoveCross, Fault::ReadOnly, Where::Both, End::Done, ":: COPYING \n" },
    Case { Kind::MoveCross, Fault::Unreadable, Where::Source, End::Failed, " :: ERROR ::\n" },
    Case { Kind::MoveCross, Fault::Full, Where::Source, End::Failed, " :: ERROR ::\n" },
    Case { Kind::MoveCross, Fault::CancelBefore, Where::Source, End::None, "VeskAction Finished" },
    Case { Kind::MoveCross, Fault::CancelDuring, Where::Source, End::None, " :: ERROR ::\n" },
    Case { Kind::MoveCross, Fault::CancelAfter, Where::Target, End::Done, " :: DONE ::\n" },
    Case { Kind::MoveCross, Fault::FullIndex, Where::Source, End::Failed, "/msmFMID.pmr to " },

    Case { Kind::Delete, Fault::ExistsNo, Where::Source, End::Failed, ":: SKIPPED :: " },
    Case { Kind::Delete, Fault::ExistsYes, Where::Removed, End::Done, ":: SUCCEED ::\n" },
    Case { Kind::Delete, Fault::ExistsYesToAll, Where::Removed, End::Done, ":: SUCCEED ::\n" },
    Case { Kind::Delete, Fault::ReadOnly, Where::Trash, End::Done, ":: SUCCEED ::\n" },
    Case { Kind::Delete, Fault::Unreadable, Where::Trash, End::Done, ":: SUCCEED ::\n" },
    Case { Kind::Delete, Fault::CancelBefore, Where::Source, End::None, "VeskAction Finished" },
    Case { Kind::Delete, Fault::CancelDuring, Where::Trash, End::Done, ":: SUCCEED ::\n" },
    Case { Kind::Delete, Fault::CancelAfter, Where::Trash, End::Done, ":: SUCCEED ::\n" },
    Case { Kind::Delete, Fault::Fifo, Where::Source, End::Failed, "is a FIFO, not a regular file" },
    Case { Kind::Delete, Fault::Link, Where::Trash, End::Done, "the linked file" }),
    [](const ::testing::TestParamInfo<Case> &info) {
        return std::string(kKindNames[int(info.param.kind)]) + "_" + kFaultNames[int(info.param.fault)];
    });
// clang-format on
