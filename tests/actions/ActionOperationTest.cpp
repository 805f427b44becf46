#include "ActionTestSupport.h"

#include "platform/VeskFileCopy.h"

#include <QDateTime>

#include <sys/xattr.h>

class ActionOperation : public ::testing::Test {
protected:
    QString media(const QString &relative, const QByteArray &bytes) const { return source.write(relative, bytes); }
    QString dest(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? target.path() : target.path() + QLatin1Char('/') + relative;
    }

    TestFiles source;
    TestFiles target;
    ScriptedAlerts alerts;
};

TEST_F(ActionOperation, CopyLaysOutProjectTypeAndSourceFolder)
{
    media(QStringLiteral("1/msmFMID.pmr"), "index");
    media(QStringLiteral("1/msmMMOB.mdb"), "database");
    const QString a = media(QStringLiteral("1/a01.mxf"), "first");
    const QString b = media(QStringLiteral("1/A02.MXF"), "second");
    const QString c = media(QStringLiteral("2/notes"), "third");
    const QString d = media(QStringLiteral("3/d.mxf"), "d");
    const QString e = media(QStringLiteral("3/e.mxf"), "e");
    VeskActionProperties p = properties(QStringLiteral("Copy"),
        { makeItem(a), makeItem(b), makeItem(c, QStringLiteral("")), makeItem(d, QStringLiteral("..")),
            makeItem(e, QStringLiteral("../../x")) },
        dest());
    p.Keep_original_folders = true;
    const auto operation = makeOperation(p);
    runToEnd(operation);

    EXPECT_EQ(readAll(dest(QStringLiteral("Promo/MXF/1/a01.mxf"))), "first");
    EXPECT_EQ(readAll(dest(QStringLiteral("Promo/MXF/1/A02.MXF"))), "second");
    EXPECT_EQ(readAll(dest(QStringLiteral("_00_VSK_EMPTY_PROJECT_NAME/_NOEXT_TYPE/2/notes"))), "third");
    // Project names stay inside the destination.
    EXPECT_EQ(readAll(dest(QStringLiteral("_/MXF/3/d.mxf"))), "d");
    EXPECT_EQ(readAll(dest(QStringLiteral(".._.._x/MXF/3/e.mxf"))), "e");
    // The index and database travel with the first file into the folder made for it.
    EXPECT_EQ(readAll(dest(QStringLiteral("Promo/MXF/1/msmFMID.pmr"))), "index");
    EXPECT_EQ(readAll(dest(QStringLiteral("Promo/MXF/1/msmMMOB.mdb"))), "database");
    EXPECT_FALSE(QFileInfo::exists(dest(QStringLiteral("_00_VSK_EMPTY_PROJECT_NAME/_NOEXT_TYPE/2/msmFMID.pmr"))));
    EXPECT_EQ(operation->BytesDone(), 18u);
    EXPECT_EQ(operation->itemsDone(), 5u);
}

// An answer "to All" lasts for the rest of the action: "Yes to All" replaces the later
// existing target without a question, "Skip All" leaves every later file; Cancel stops.
// A target folder that exists already gets no index.
// A copy that reads back other than its source read never takes the target's name, and
// a move then keeps its source.
TEST_F(ActionOperation, ReadBackMismatchKeepsTheSourceAndRemovesTheTarget)
{
    QTemporaryDir shm(QStringLiteral("/dev/shm/vesk-actions-XXXXXX"));
    VeskFileCopy::setReadBackHook(
        [](QString &digest) { digest[0] = QLatin1Char(digest.startsWith(QLatin1Char('0')) ? '1' : '0'); });
    const std::unique_ptr<void, void (*)(void *)> unhook(this, [](void *) { VeskFileCopy::setReadBackHook({}); });
    for (const QString &action : { QStringLiteral("Copy"), QStringLiteral("Move") }) {
        const QString a = media(QStringLiteral("1/a.mxf"), "payload");
        VeskActionProperties p = properties(action, { makeItem(a) }, shm.path());
        p.Verify_copies = true;
        p.Create_projects_folders = p.Create_mxf_folders = false;
        const auto operation = makeOperation(p);
        runToEnd(operation);
        EXPECT_EQ(readAll(a), "payload");
        EXPECT_EQ(QDir(shm.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << action.toStdString();
        EXPECT_EQ(operation->failedCount(), 1u);
        EXPECT_TRUE(operation->actionLog().contains(QStringLiteral("reads back as xxh128")));
    }
}

// The queued verification checks the history that a copy wrote.
TEST_F(ActionOperation, VerifyActionFailsOnAFileChangedSinceItsCopy)
{
    runToEnd(
        makeOperation(properties(QStringLiteral("Copy"), { makeItem(media(QStringLiteral("a.mxf"), "a")) }, dest())));
    for (const bool changed : { false, true }) {
        ASSERT_TRUE(!changed || TestFiles::writeFile(dest(QStringLiteral("Promo/MXF/a.mxf")), "b"));
        const auto operation = makeOperation(properties(QStringLiteral("Verify"), {}, dest()));
        runToEnd(operation);
        EXPECT_EQ(operation->failedCount(), changed ? 1u : 0u) << operation->actionLog().toStdString();
        EXPECT_EQ(operation->actionLog().contains(QStringLiteral("differs: Promo/MXF/a.mxf")), changed);
    }
}

TEST_F(ActionOperation, AnswersToAllLastForTheActionAndCancelStops)
{
    QStringList paths;
    std::vector<VeskItemRef> items;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(media(QStringLiteral("1/%1.mxf").arg(i), "x"));
        target.write(QStringLiteral("Promo/MXF/%1.mxf").arg(i), "old");
        items.push_back(makeItem(paths.back()));
    }
    media(QStringLiteral("1/msmFMID.pmr"), "index");
    alerts.on(kOverwrite, QStringLiteral("Yes to All"));
    const auto copy = makeOperation(properties(QStringLiteral("Copy"), { items[0], items[1] }, dest()));
    runToEnd(copy);
    EXPECT_EQ(readAll(dest(QStringLiteral("Promo/MXF/1.mxf"))), "x");
    EXPECT_FALSE(QFileInfo::exists(dest(QStringLiteral("Promo/MXF/msmFMID.pmr"))));
    EXPECT_EQ(alerts.count(kOverwrite), 1);
    EXPECT_EQ(copy->actionLog().count(QStringLiteral(":: OVERWRITING \n")), 1);
    EXPECT_EQ(copy->actionLog().count(QStringLiteral(":: FILE EXISTS AT DESTINATION \n")), 2);

    alerts.on(kOverwrite, QStringLiteral("No"));
    alerts.on(kCopyInstead, QStringLiteral("Skip All"));
    runToEnd(makeOperation(properties(QStringLiteral("Move"), items, dest())));
    EXPECT_EQ(alerts.count(kCopyInstead), 1);
    EXPECT_EQ(alerts.count(kOverwrite), 4);

    alerts.on(kCopyInstead, QStringLiteral("Cancel"));
    const auto operation = makeOperation(properties(QStringLiteral("Move"), items, dest()));
    runToEnd(operation);
    EXPECT_TRUE(operation->isCancelled());
    EXPECT_EQ(operation->BytesDone(), 0u);
    EXPECT_EQ(operation->itemsDone(), 1u);
    for (const QString &path : paths)
        EXPECT_EQ(readAll(path), "x");
}

class DeleteAction : public ActionOperation {
protected:
    void SetUp() override { clearTrash(); }
    void TearDown() override { clearTrash(); }
};

TEST_F(DeleteAction, MovesFilesToTheTrashAndPassesOverMissingOnes)
{
    const QString a = media(QStringLiteral("1/a.mxf"), "trash me");
    const VeskItemRef missing = makeItem(source.path() + QStringLiteral("/1/gone.mxf"));
    missing->setDB_filesize(7);
    const auto operation
        = makeOperation(properties(QStringLiteral("Delete"), { makeItem(a), missing }, QStringLiteral("/")));
    runToEnd(operation);
    EXPECT_EQ(operation->BytesDone(), 15u);
    const QString log = operation->actionLog();
    EXPECT_TRUE(log.contains(QStringLiteral("T :: DELETING :: %1 \n:: SUCCEED ::\n").arg(a)));
    EXPECT_FALSE(log.contains(QStringLiteral("gone.mxf")));
    EXPECT_FALSE(operation->targetURL());
}

TEST_F(DeleteAction, RefusedTrashAsksOnceBeforeRemovingAllForGood)
{
    breakTrash();
    const QString b = media(QStringLiteral("1/b.mxf"), "b");
    const QString c = media(QStringLiteral("1/c.mxf"), "c");
    alerts.on(kRemoveForGood, QStringLiteral("Yes to All"));
    const auto operation = makeOperation(properties(QStringLiteral("Delete"), { makeItem(b), makeItem(c) }));
    runToEnd(operation);
    EXPECT_EQ(alerts.count(kRemoveForGood), 1);
    EXPECT_EQ(operation->actionLog().count(QStringLiteral(":: SUCCEED ::\n")), 2);
}

TEST_F(DeleteAction, FailedRemovalIsShownUntilTheUserSaysNoMore)
{
    breakTrash();
    // Each file vanishes while its question is open, so that its removal fails.
    const QString paths[] = { media(QStringLiteral("1/a.mxf"), "a"), media(QStringLiteral("1/b.mxf"), "b") };
    int asked = 0;
    alerts.on(kRemoveForGood, QStringLiteral("Yes"), [&] { QFile::remove(paths[asked++]); });
    alerts.answerErrorsWith(QStringLiteral("Do NotShow Again"));
    const auto operation
        = makeOperation(properties(QStringLiteral("Delete"), { makeItem(paths[0]), makeItem(paths[1]) }));
    runToEnd(operation);
    EXPECT_EQ(alerts.errorPaths(), QStringList { paths[0] });
    EXPECT_EQ(operation->actionLog().count(QStringLiteral(":: ERROR :: ")), 4);
    EXPECT_EQ(operation->failedCount(), 2u);
}

// A name from an index is one path component: anything else, and anything that is not
// a regular file, is refused by every action and nothing outside the folder changes.
TEST_F(DeleteAction, NamesThatAreNoFileNamesAreRefused)
{
    const QString victim = media(QStringLiteral("victim.mxf"), "victim");
    const QString folder = QFileInfo(media(QStringLiteral("1/sub/x.mxf"), "x")).path() + QStringLiteral("/..");
    for (const QString &name :
        { QStringLiteral("../victim.mxf"), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("sub"), QString(),
            QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QString(256, QLatin1Char('n')) }) {
        for (const char *action : { "Copy", "Move", "Delete" }) {
            const VeskItemRef item = makeItem(victim);
            item->setDB_itemPath(QDir::cleanPath(folder), name);
            const auto operation = makeOperation(properties(QString::fromLatin1(action), { item }, dest()));
            runToEnd(operation);
            EXPECT_EQ(operation->failedCount(), 1u) << action << " " << name.toStdString();
            EXPECT_TRUE(operation->actionLog().contains(
                name == QLatin1String("sub") ? QStringLiteral("is a folder") : QStringLiteral("is not a file name")))
                << operation->actionLog().toStdString();
        }
    }
    EXPECT_EQ(readAll(victim), "victim");
    EXPECT_EQ(readAll(source.path() + QStringLiteral("/1/sub/x.mxf")), "x");
    EXPECT_TRUE(QDir(dest()).isEmpty());
}

TEST_F(ActionOperation, QuarantineIsUndoneByRestoreAndEndedByPurge)
{
    const QString a = media(QStringLiteral("vol/Avid MediaFiles/MXF/1/a.mxf"), "keep me");
    const QString sets = source.path() + QStringLiteral("/vol/.vesk-quarantine");
    const auto quarantineOf = [&a] {
        const auto operation = makeOperation(properties(QStringLiteral("Quarantine"), { makeItem(a) }));
        runToEnd(operation);
        EXPECT_EQ(operation->summary(), QStringLiteral("quarantined 1, skipped 0, failed 0"));
        return QDir(operation->actionLog().section(QStringLiteral(":: quarantine set :: "), 1).section(u' ', 0, 0));
    };
    for (const QString &action : { QStringLiteral("Restore"), QStringLiteral("Purge") }) {
        const QDir set = quarantineOf();
        EXPECT_EQ(readAll(set.filePath(QStringLiteral("Avid MediaFiles/MXF/1/a.mxf"))), "keep me");
        EXPECT_FALSE(QFileInfo::exists(a));
        VeskActionProperties undo;
        undo.Action = action;
        undo.Sets = QStringList { set.path() };
        const auto operation = makeOperation(undo);
        runToEnd(operation);
        EXPECT_EQ(operation->summary(), action.toLower() + QStringLiteral("d 1, skipped 0, failed 0"));
        EXPECT_FALSE(set.exists()) << action.toStdString();
        EXPECT_EQ(QFileInfo::exists(a), action == QLatin1String("Restore"));
    }
    EXPECT_FALSE(QFileInfo::exists(sets));
}
