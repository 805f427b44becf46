#include "AppToolsTestSupport.h"

#include "platform/VeskSettings.h"

#include <QApplication>

#include <cstdlib>

namespace {

QTemporaryDir *dataHome = nullptr;
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform says, for every window, what it cannot do; nothing to see.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

} // namespace

QString testDataHome()
{
    return dataHome->path();
}

// Desktop files and the trash are looked up under a data folder of the test's own,
// set before GIO first looks there; widgets need an application object and draw
// offscreen without a display.
int main(int argc, char **argv)
{
    QTemporaryDir home;
    dataHome = &home;
    setenv("XDG_DATA_HOME", QFile::encodeName(home.path()).constData(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    VeskSettings::shared().useMemoryStore();
    VeskSettings::shared().registerStandardDefaults();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
