#include <QApplication>

#include <gtest/gtest.h>

// Widgets need an application object; without a display the tests draw offscreen.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
