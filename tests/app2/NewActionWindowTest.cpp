#include "AppToolsTestSupport.h"

#include "VeskNewActionWindow.h"

#include "actions/VeskActionManager.h"
#include "model/VeskCore.h"
#include "report/VeskFileSize.h"
#include "support/FakeTableView.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

namespace {

const QString kHurry = QStringLiteral("Please don't hurry, be patient...");

class NewActionSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        alerts.on(kHurry, QStringLiteral("OK"));
        for (const char *message :
            { "No items selected. Nothing to do.", "Please check destination path", "Invalid destination path" })
            alerts.on(QLatin1String(message), QStringLiteral("OK"));
    }

    std::unique_ptr<VeskNewActionWindow> sheet(std::optional<std::vector<VeskItemRef>> items)
    {
        auto window = std::make_unique<VeskNewActionWindow>(std::move(items));
        window->show();
        return window;
    }
    static void typeDestination(VeskNewActionWindow &window, const QString &text)
    {
        window.destinationText()->setText(text);
        Q_EMIT window.destinationText()->editingFinished();
    }
    /// Presses go; the sheet's result, or -1 while it stays open.
    static int pressGo(VeskNewActionWindow &window)
    {
        QSignalSpy finished(&window, &QDialog::finished);
        QTest::mouseClick(window.goButton(), Qt::LeftButton);
        return finished.isEmpty() ? -1 : finished.constFirst().constFirst().toInt();
    }

    ScriptedAlerts alerts;
    TestFiles files;
};

} // namespace

TEST_F(NewActionSheet, StartsFromTheInitialValues)
{
    auto window = sheet(filesOnDisk(files, { 10 }));
    EXPECT_TRUE(window->RadioCopy()->isChecked());
    EXPECT_FALSE(window->RadioMove()->isChecked());
    EXPECT_TRUE(window->CheckProjects()->isChecked());
    EXPECT_TRUE(window->CheckMXF()->isChecked());
    EXPECT_FALSE(window->CheckKeepOriginalFolders()->isChecked());
    EXPECT_FALSE(window->CheckImSure()->isChecked());
    EXPECT_FALSE(window->CheckKeepPMR()->isVisible());
    EXPECT_FALSE(window->CheckKeepPMR()->isEnabled());
    EXPECT_EQ(window->destinationText()->text(), QStringLiteral("Destination"));
    EXPECT_EQ(window->summaryText()->text(),
        QStringLiteral("will Copy \n1 item of %1 size\ndestination: Invalid path\n\nclip0.mxf")
            .arg(VeskFileSize::toHumanBytes(10)));
}

TEST_F(NewActionSheet, CopyNeedsAnExistingFolder)
{
    auto window = sheet(filesOnDisk(files, { 10, 20 }));
    window->CheckImSure()->click();
    typeDestination(*window, files.path() + QStringLiteral("/missing"));
    EXPECT_EQ(pressGo(*window), -1);
    EXPECT_EQ(alerts.asked(), QStringList { QStringLiteral("Please check destination path") });

    QDir(files.path()).mkdir(QStringLiteral("target"));
    typeDestination(*window, files.path() + QStringLiteral("/target/"));
    EXPECT_EQ(pressGo(*window), 1);
    EXPECT_EQ(window->ActionProperties().Destination, files.path() + QStringLiteral("/target"));
}

TEST_F(NewActionSheet, ChosenFolderBecomesTheDestination)
{
    QDir(files.path()).mkdir(QStringLiteral("chosen"));
    const QString chosen = files.path() + QStringLiteral("/chosen");
    QString answer = chosen;
    const auto previous = VeskNewActionWindow::setFolderChooser([&answer](QWidget *) { return answer; });
    auto window = sheet(filesOnDisk(files, { 1 }));
    window->SelectDestination();
    EXPECT_EQ(window->destinationText()->text(), chosen);
    EXPECT_EQ(window->ActionProperties().Destination, chosen);
    answer.clear();
    window->SelectDestination();
    EXPECT_EQ(window->ActionProperties().Destination, chosen);
    VeskNewActionWindow::setFolderChooser(previous);
}

TEST_F(NewActionSheet, UntickingSourceFoldersDropsTheIndexCopy)
{
    auto window = sheet(filesOnDisk(files, { 1 }));
    window->CheckKeepOriginalFolders()->click();
    EXPECT_TRUE(window->CheckKeepPMR()->isEnabled());
    window->CheckKeepPMR()->setChecked(true);
    EXPECT_TRUE(window->ActionProperties().Keep_pmr);
    window->CheckKeepOriginalFolders()->click();
    EXPECT_FALSE(window->CheckKeepPMR()->isEnabled());
    EXPECT_FALSE(window->CheckKeepPMR()->isChecked());
    EXPECT_FALSE(window->ActionProperties().Keep_pmr);
    EXPECT_FALSE(window->ActionProperties().Keep_original_folders);
}

// The command takes the store's selection and queues the action only on go.
TEST_F(NewActionSheet, NewActionQueuesOnGoOnly)
{
    VeskCore core;
    FakeTableView table(QStringLiteral("DatabaseTableID"));
    core.setDatabaseTable(&table);
    core.AddItemsFromArray(filesOnDisk(files, { 5, 6, 7 }));
    core.makeUnique();
    core.LoadDefaults();
    table.selection = { 0, 2 };
    QWidget window;
    VeskActionManager manager;
    VeskNewActionWindow *first = VeskNewActionWindow::NewAction(core, &window, manager);
    EXPECT_EQ(first->windowModality(), Qt::WindowModal);
    EXPECT_EQ(first->parentWidget(), &window);
    first->PushCancel();
    EXPECT_TRUE(manager.actions().empty());

    VeskNewActionWindow *second = VeskNewActionWindow::NewAction(core, &window, manager);
    EXPECT_TRUE(second->summaryText()->text().contains(QStringLiteral("\n2 items of")));
    EXPECT_TRUE(second->summaryText()->text().endsWith(QStringLiteral("\n\nclip0.mxf\nclip2.mxf")))
        << second->summaryText()->text().toStdString();
    second->RadioDelete()->click();
    second->CheckImSure()->click();
    QTest::mouseClick(second->goButton(), Qt::LeftButton);
    ASSERT_EQ(manager.actions().size(), 1u);
    EXPECT_EQ(manager.actions().front()->Action_Operation()->itemsTotal(), 2u);
    manager.actions().front()->Action_cancel();
}
