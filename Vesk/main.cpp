#include "AppDelegate.h"
#include "VeskAlertDialogs.h"
#include "VeskAppTools.h"
#include "VeskMainWindow.h"
#include "VeskQuitGuard.h"
#include "VeskScanDriver.h"
#include "VeskScreenshots.h"

#include "base/VeskNSLog.h"
#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include <cstdlib>

namespace {

// Folders given on the command line, as absolute paths; the others are logged.
QStringList foldersToScan(const QStringList &arguments)
{
    QStringList folders;
    for (const QString &argument : arguments) {
        const QFileInfo info(argument);
        if (info.exists())
            folders.push_back(info.absoluteFilePath());
        else
            VESK_LOG(QStringLiteral("Not found, not scanned: %1").arg(argument));
    }
    return folders;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesk"));
    QApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("vesk"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vesk.png")));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Keeps the media of Avid systems in order."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("PATH"), QStringLiteral("Folders to scan at start."), QStringLiteral("[PATH...]"));
    parser.process(app);

    VeskSettings::shared().usePersistentStore();
    VeskAlertDialogs::install();
    AppDelegate delegate(VeskCore::sharedCore());
    delegate.applicationDidFinishLaunching();
    delegate.window()->show();
    const QStringList folders = foldersToScan(parser.positionalArguments());
    if (!folders.isEmpty())
        QTimer::singleShot(0, &delegate, [&delegate, folders] { delegate.scanDriver()->scanFolders(folders); });
    VeskScreenshots::startIfAsked(delegate);

    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    const int status = app.exec();
    // A scan still running waits for the main thread, which has stopped, and so does
    // an action that did not end within the quit's clean-up limit: nothing but the
    // settings needs saving, so leave without waiting for them.
    if (VeskStatusViewController::getTheController()->isRunning() || delegate.tools()->quitGuard()->actionsRunning()) {
        VeskSettings::shared().sync();
        std::_Exit(status);
    }
    return status;
}
