#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vesk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() == 2 && (args[1] == QLatin1String("--version") || args[1] == QLatin1String("-v"))) {
        out << "vesk-cli " << VESK_VERSION << Qt::endl;
        return 0;
    }
    err << "usage: vesk-cli --version" << Qt::endl;
    return 2;
}
