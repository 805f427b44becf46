#include "AppToolsTestSupport.h"

#include "VeskNewActionWindow.h"

#include "actions/VeskActionManager.h"
#include "model/StoreTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// The command takes the store's selection and queues the action only on go; the
// sheet's controls and its folder chooser reach the rules behind it (the rules themselves are tested on the
// controller).
using NewActionSheet = StoreTest;

TEST_F(NewActionSheet, NewActionQueuesOnGoOnly)
{
    ScriptedAlerts alerts;
    alerts.on(QStringLiteral("Please check destination path"), QStringLiteral("OK"));
    TestFiles files;
    load(filesOnDisk(files, { 5, 6, 7 }));
    table.selection = { 0, 2 };
    QWidget window;
    VeskActionManager manager;
    VeskNewActionWindow *first = VeskNewActionWindow::NewAction(core, &window, manager);
    EXPECT_EQ(first->windowModality(), Qt::WindowModal);
    EXPECT_EQ(first->parentWidget(), &window);
    first->PushCancel();
    EXPECT_TRUE(manager.actions().empty());

    VeskNewActionWindow *second = VeskNewActionWindow::NewAction(core, &window, manager);
    EXPECT_TRUE(second->summaryText()->text().endsWith(QStringLiteral("\n\nclip0.mxf\nclip2.mxf")));
    // The read-back box starts from its setting (on by default) and the user's choice
    // becomes the setting.
    auto *verify = second->findChild<QCheckBox *>(QStringLiteral("CheckVerify"));
    ASSERT_TRUE(verify && verify->isChecked() && second->ActionProperties().Verify_copies);
    verify->click();
    EXPECT_FALSE(second->ActionProperties().Verify_copies);
    EXPECT_EQ(VeskSettings::shared().integerForKey(QStringLiteral("VerifyCopies")), 0);
    verify->click();
    second->CheckKeepOriginalFolders()->click();
    second->CheckKeepPMR()->click();
    EXPECT_TRUE(second->ActionProperties().Keep_pmr);
    second->CheckImSure()->click();
    second->destinationText()->setText(files.path() + QStringLiteral("/missing"));
    Q_EMIT second->destinationText()->editingFinished();
    QTest::mouseClick(second->goButton(), Qt::LeftButton);
    EXPECT_EQ(alerts.asked(), QStringList { QStringLiteral("Please check destination path") });
    EXPECT_TRUE(manager.actions().empty());
    QString answer = files.path();
    const auto previous = VeskNewActionWindow::setFolderChooser([&answer](QWidget *) { return answer; });
    second->SelectDestination();
    answer.clear();
    second->SelectDestination(); // a cancelled choice keeps the folder
    VeskNewActionWindow::setFolderChooser(previous);
    EXPECT_EQ(second->ActionProperties().Destination, files.path());
    second->RadioDelete()->click();
    EXPECT_FALSE(second->destinationText()->isEnabled());
    EXPECT_FALSE(second->CheckProjects()->isEnabled());
    QTest::mouseClick(second->goButton(), Qt::LeftButton);
    ASSERT_EQ(manager.actions().size(), 1u);
    EXPECT_EQ(manager.actions().front()->Action_Operation()->itemsTotal(), 2u);
    manager.actions().front()->Action_cancel();
}
