#include "ActionTestSupport.h"

#include "platform/VeskSettings.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {

QTemporaryDir *dataHome = nullptr;

} // namespace

QString trashFilesFolder()
{
    return dataHome->path() + QStringLiteral("/Trash/files");
}

// The trash must live in a folder of the test's own, set before GIO first looks for it;
// the questions of the actions need a main thread that serves events.
int main(int argc, char **argv)
{
    QTemporaryDir home;
    dataHome = &home;
    setenv("XDG_DATA_HOME", QFile::encodeName(home.path()).constData(), 1);
    QCoreApplication app(argc, argv);
    VeskSettings::shared().useMemoryStore();
    VeskSettings::shared().registerStandardDefaults();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
