#include "AppToolsTestSupport.h"

#include "VeskExternalTools.h"

#include "model/StoreTestSupport.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>

namespace {

class ExternalTools : public StoreTest {
protected:
    /// Three shown items; the second one's file is gone.
    void SetUp() override
    {
        StoreTest::SetUp();
        load(filesOnDisk(files, { 1, 2, 3 }));
        for (uint64_t row = 0; row < core.getFilteredIndexesCount(); ++row)
            shown << core.ObjectAtIndexFiltered(row)->DB_itemPath();
        QFile::remove(shown[1]);
        core.ObjectAtIndexFiltered(1)->setDB_FileExists(false);
        table.selection = { 0, 1, 2 };
    }
    /// A desktop file whose program writes its arguments, one per line, to the file.
    QString installOpener(const QString &id, const QString &output)
    {
        const QString program = files.write(
            QStringLiteral("opener.sh"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + QFile::encodeName(output) + "\"\n");
        QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString desktop = testDataHome() + QStringLiteral("/applications/") + id;
        QDir().mkpath(QFileInfo(desktop).path());
        QFile file(desktop);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nName=Opener\nExec=" + QFile::encodeName(program) + " %F\n");
        return desktop;
    }

    TestFiles files;
    QStringList shown;
};

} // namespace

// The desktop application gets all files at once; a missing one is reported.
TEST_F(ExternalTools, OpensAllFilesAtOnceWithTheDesktopApplication)
{
    const QString output = files.path() + QStringLiteral("/opened.txt");
    installOpener(QStringLiteral("vesk-test-opener.desktop"), output);
    ScriptedAlerts alerts;
    EXPECT_TRUE(VeskExternalTools::OpenInExternalApp(
        VeskExternalTools::selectedMedia(core, table), QStringLiteral("vesk-test-opener")));
    ASSERT_TRUE(waitFor([&] { return readAll(output).count('\n') == 2; }));
    EXPECT_EQ(QString::fromUtf8(readAll(output)), shown[0] + QLatin1Char('\n') + shown[2] + QLatin1Char('\n'));
    EXPECT_TRUE(alerts.asked().isEmpty());
    alerts.on(QStringLiteral("External App not found"), QStringLiteral("OK"));
    EXPECT_FALSE(VeskExternalTools::OpenInExternalApp({ shown[0] }, QStringLiteral("no-such-app.desktop")));
    EXPECT_EQ(alerts.asked(), QStringList { QStringLiteral("External App not found") });
}

// The script runs with the selected existing files, and with none.
TEST_F(ExternalTools, ScriptGetsThePathsOnTheClipboardAndInItsEnvironment)
{
    const QString output = files.path() + QStringLiteral("/selection.txt");
    const QString script
        = QStringLiteral("printf 'ran:%s' \"$VESK_SELECTION\" > '%1.part' && mv '%1.part' '%1'").arg(output);
    for (const bool none : { false, true }) {
        if (none)
            table.selection.clear();
        const QString lines = none ? QString() : shown[0] + QLatin1Char('\n') + shown[2];
        QFile::remove(output);
        ASSERT_TRUE(VeskExternalTools::ExecuteApplescript(VeskExternalTools::selectedMedia(core, table), script));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(lines).replace(QLatin1Char('\n'), QLatin1Char('\r')));
        ASSERT_TRUE(waitFor([&] { return QFile::exists(output); }));
        EXPECT_EQ(QString::fromUtf8(readAll(output)), QStringLiteral("ran:") + lines);
    }
}
