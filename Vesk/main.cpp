#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesk"));
    QApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    QLabel label(QStringLiteral("Vesk %1").arg(QStringLiteral(VESK_VERSION)));
    label.show();
    return app.exec();
}
