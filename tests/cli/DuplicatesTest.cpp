#include "CliProcess.h"

#include <QVariant>

// The texts of a JSON array.
const auto texts = [](const QJsonValue &array) { return array.toVariant().toStringList(); };

// A generated volume, its copy, and a third folder whose one existing media file is a
// truncated copy: its other index entries name missing files.
class Duplicates : public ::testing::Test {
protected:
    void SetUp() override
    {
        roots = { files.path() + "/v1", files.path() + "/v2", files.path() + "/v3" };
        ASSERT_TRUE(
            makeVolume(roots[0], { "--mxf", "--folders", "2", "--files", "12", "--seed", "5", "--bad-umid", "0.2" }));
        ASSERT_EQ(run("cp", { "-a", roots[0], roots[1] }).status, 0);
        ASSERT_EQ(run("cp", { "-a", roots[0] + "/Avid MediaFiles/MXF/1", roots[2] }).status, 0);
        for (const QJsonObject &row : scan(roots, { "--bad-umid" }))
            badUIDs << row.value("path").toString();
        for (const QJsonObject &row : scan({ roots[2] })) {
            const QString path = row.value("path").toString();
            if (damaged.isEmpty() && !badUIDs.contains(path))
                damaged = path;
            else
                ASSERT_TRUE(QFile::remove(path));
        }
        ASSERT_TRUE(QFile::resize(damaged, QFileInfo(damaged).size() / 2));
    }

    QList<QJsonObject> scan(const QStringList &paths, const QStringList &options = {})
    {
        const ProcessResult result
            = cli(QStringList { "scan", "--format", "json", "--columns", "path,fileUID,size" } + paths + options);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        return jsonLines(result.out);
    }

    /// The scanned copies of each UID and size, leaving out the files with bad UIDs.
    QMap<std::pair<QString, qint64>, QStringList> copiesByKey()
    {
        QMap<std::pair<QString, qint64>, QStringList> copies;
        for (const QJsonObject &row : scan(roots))
            if (!badUIDs.contains(row.value("path").toString()))
                copies[{ row.value("fileUID").toString(), row.value("size").toInteger() }]
                    << row.value("path").toString();
        return copies;
    }

    ProcessResult duplicates(const QStringList &options)
    {
        const ProcessResult result = cli(QStringList { "duplicates" } + roots + options);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        return result;
    }

    QList<QJsonObject> groups(const QStringList &options = {})
    {
        return jsonLines(duplicates(QStringList { "--format", "json" } + options).out);
    }

    TestFiles files;
    QStringList roots;
    QSet<QString> badUIDs;
    QString damaged;
};

TEST_F(Duplicates, GroupsEqualAnIndependentGroupingOfTheScannedRows)
{
    const QMap<std::pair<QString, qint64>, QStringList> byKey = copiesByKey();
    QMap<QString, QSet<qint64>> sizesOf;
    for (const auto &[uid, size] : byKey.keys())
        sizesOf[uid] << size;
    const auto describe = [](const QString &uid, qint64 size, QStringList copies, const QString &problem) {
        copies.sort();
        return QStringLiteral("%1 %2 %3 %4").arg(uid).arg(size).arg(problem, copies.join('|'));
    };
    QSet<QString> expected;
    for (auto [key, copies] : byKey.asKeyValueRange())
        if (copies.size() > 1 || sizesOf[key.first].size() > 1)
            expected << describe(key.first, key.second, copies, sizesOf[key.first].size() > 1 ? "size" : "");
    QSet<QString> found;
    for (const QJsonObject &group : groups())
        found << describe(group.value("fileUID").toString(), group.value("size").toInteger(),
            texts(group.value("copies")), group.value("problem").toString());
    EXPECT_EQ(found, expected);
    EXPECT_FALSE(badUIDs.isEmpty());
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(),
        [this](const QString &group) { return group.contains(" size ") && group.contains(damaged); }));
}

TEST_F(Duplicates, EachKeepRuleKeepsItsCopy)
{
    const QString under = "under:" + roots[1] + "/";
    // The copy each rule keeps. The roots were made one after the other, so their order
    // is the copies' age; link files have no creation date in the store.
    const auto keptBy = [&](const QString &rule, const QStringList &copies) {
        QList<qsizetype> rootOf;
        for (const QString &copy : copies)
            rootOf << std::find_if(roots.begin(), roots.end(), [&](auto &root) { return copy.startsWith(root + '/'); })
                    - roots.begin();
        const auto [oldest, newest] = std::minmax_element(rootOf.begin(), rootOf.end());
        if (rule == "first")
            return copies.first();
        if (rule != under && copies.first().endsWith(".aaf"))
            return QString();
        const qsizetype at = rootOf.indexOf(rule == "oldest" ? *oldest : rule == "newest" ? *newest : 1);
        return at < 0 ? QString() : copies[at];
    };
    for (const QString &rule : { QStringLiteral("first"), QStringLiteral("oldest"), QStringLiteral("newest"), under })
        for (const QJsonObject &group : groups({ "--keep", rule }))
            EXPECT_EQ(group.value("keep").toString(), keptBy(rule, texts(group.value("copies")))) << rule.toStdString();
    // A group whose kept copy is missing keeps every copy: no extra is printed for it.
    const QStringList missingKept { "--show-missing", "--keep", "under:" + roots[2] };
    const QList<QJsonObject> kept = groups(missingKept);
    EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [](const QJsonObject &group) {
        return group.contains("keep") && !QFileInfo::exists(group.value("keep").toString());
    }));
    EXPECT_EQ(duplicates(missingKept + QStringList { "--extras", "--format", "json" }).out, QString());
}

// Confirming the content takes a copy that differs out of its group; deleting the
// extras then leaves one copy of each UID and size.
TEST_F(Duplicates, ConfirmContentSplitsGroupsAndDeletingTheExtrasLeavesOneCopyEach)
{
    const QJsonObject group = groups().first();
    const QString changed = texts(group.value("copies")).last();
    ASSERT_TRUE(flipByte(changed, QFileInfo(changed).size() / 2));
    const QList<QJsonObject> confirmed = groups({ "--confirm-content" });
    QStringList left = texts(group.value("copies"));
    left.removeAll(changed);
    EXPECT_EQ(texts(confirmed.first().value("copies")), left);
    EXPECT_TRUE(std::any_of(confirmed.begin(), confirmed.end(), [&changed](const QJsonObject &other) {
        return other.value("problem") == "content" && texts(other.value("copies")) == QStringList { changed };
    }));
    const auto before = copiesByKey();
    const QString extras = duplicates({ "--keep", "under:" + roots[1], "--extras", "--format", "json" }).out;
    ASSERT_FALSE(extras.isEmpty());
    trashInside(files.path());
    const ProcessResult removed = cli(QStringList { "delete", "--paths-from", "-", "--yes" } + roots, extras.toUtf8());
    EXPECT_EQ(removed.status, 0) << removed.err.toStdString();
    const auto after = copiesByKey();
    EXPECT_EQ(after.keys(), before.keys());
    for (const QStringList &copies : after)
        EXPECT_EQ(copies.size(), 1) << copies.join(' ').toStdString();
}
