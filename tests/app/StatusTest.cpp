#include "VeskAlertDialogs.h"
#include "VeskConsoleWindow.h"
#include "VeskProgressWheel.h"
#include "VeskStatusView.h"
#include "support/WaitFor.h"

#include "base/VeskConsole.h"
#include "base/VeskNSLog.h"
#include "platform/VeskStatusViewController.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

VeskStatusViewController *controller()
{
    return VeskStatusViewController::getTheController();
}

// Presses the button with this title in the next message box that appears.
void pressLater(const QString &title)
{
    QTimer::singleShot(0, [title] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        for (QAbstractButton *button : box ? box->buttons() : QList<QAbstractButton *>())
            if (button->text() == title) {
                button->click();
                return;
            }
        // Leaving the box open would hang the test instead of failing it.
        ADD_FAILURE() << "no message box with the button " << title.toStdString();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
}

} // namespace

class StatusArea : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller()->StopAllWheels();
        view.resize(400, VeskStatusView::kHeight);
        view.show();
    }
    void TearDown() override { controller()->StopAllWheels(); }

    VeskStatusView view;
};

// Wheels spin while lent to another thread and follow what it sets; the text line
// shows the latest text from any thread.
TEST_F(StatusArea, WheelsAndTextFollowOtherThreads)
{
    VeskStatusWheel *taken = nullptr;
    std::thread([&] { taken = controller()->Status_GetProgressWheel(); }).join();
    ASSERT_TRUE(taken);
    VeskProgressWheel *shown = view.smallWheel(taken->index());
    ASSERT_TRUE(waitFor([shown] { return shown->isAnimating(); }));
    const QImage still = shown->grab().toImage();
    EXPECT_TRUE(waitFor([&] { return shown->grab().toImage() != still; })) << "an indeterminate wheel turns";
    EXPECT_FALSE(view.smallWheel(taken->index() + 1)->isShowing());
    std::thread([&] {
        taken->setIndeterminate(false);
        taken->setMaxValue(10);
        taken->setDoubleValue(4);
    }).join();
    ASSERT_TRUE(waitFor([shown] { return shown->doubleValue() == 4.0; }));
    EXPECT_FALSE(shown->isIndeterminate());
    std::thread([&] { controller()->Status_DeleteProgressWheel(taken); }).join();
    ASSERT_TRUE(waitFor([shown] { return !shown->isAnimating(); }));
    EXPECT_FALSE(shown->isShowing());

    // The text line shows the latest of many texts set by a worker.
    std::thread([] {
        for (int i = 0; i < 1000; ++i)
            controller()->Status_SetTextWithString(QStringLiteral("folder %1").arg(i));
        controller()->Status_SetTextWithString(QString());
    }).join();
    EXPECT_TRUE(waitFor([this] { return view.InfoTextField()->text() == QLatin1String("folder 999"); }));
}

TEST(ConsoleWindow, FollowsTheLogWhileShown)
{
    VeskConsole::sharedInstance()->Reset();
    VeskConsoleWindow window;
    VESK_LOG(QStringLiteral("before showing"));
    window.show();
    EXPECT_TRUE(window.theLog()->toPlainText().contains(QStringLiteral("before showing")));
    std::thread([] {
        for (int i = 0; i < 50; ++i)
            VESK_LOG(QStringLiteral("line %1").arg(i));
    }).join();
    ASSERT_TRUE(waitFor([&window] { return window.theLog()->toPlainText().contains(QLatin1String("line 49")); }));
    EXPECT_EQ(window.theLog()->toPlainText(), VeskConsole::sharedInstance()->text());
    VeskConsole::sharedInstance()->Reset();
    EXPECT_TRUE(waitFor([&window] { return window.theLog()->toPlainText() == QLatin1String("Vesk\n"); }));
}

TEST(AlertDialogs, AnswerWithTheNumberOfThePressedButton)
{
    pressLater(QStringLiteral("Cancel"));
    EXPECT_EQ(
        VeskAlertDialogs::run({ QStringLiteral("Really?"), {}, { QStringLiteral("OK"), QStringLiteral("Cancel") } }),
        1001);
    pressLater(QStringLiteral("Yes to All"));
    EXPECT_EQ(VeskAlertDialogs::run({ QStringLiteral("Replace?"), QStringLiteral("x.mxf"),
                  { QStringLiteral("No"), QStringLiteral("Yes"), QStringLiteral("Yes to All") } }),
        1002);
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    EXPECT_EQ(VeskAlertDialogs::run({ QStringLiteral("Replace?"), QStringLiteral("x.mxf"),
                  { QStringLiteral("No"), QStringLiteral("Yes"), QStringLiteral("Yes to All") } }),
        1000);
}
