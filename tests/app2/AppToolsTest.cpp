#include "AppToolsTestSupport.h"

#include "app/AppTestSupport.h"

#include "ExportMenu.h"
#include "VeskAppTools.h"
#include "VeskMainWindow.h"
#include "VeskProjectsSummarySheet.h"
#include "VeskQueueView.h"
#include "VeskVersionNotice.h"

#include "actions/VeskActionManager.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

class AppToolsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        tools = app->findChild<VeskAppTools *>();
        ASSERT_NE(tools, nullptr);
    }
    static QStringList titles(const QMenu *menu)
    {
        QStringList shown;
        for (const QAction *action : menu->actions())
            shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return shown;
    }
    static QStringList menuTitles(const QMenuBar *bar)
    {
        QStringList shown;
        for (const QAction *action : bar->actions())
            shown << action->text().remove(QLatin1Char('&'));
        return shown;
    }

    VeskAppTools *tools = nullptr;
};

} // namespace

TEST_F(AppToolsTest, ToolsMenuHasTheSpecifiedEntries)
{
    std::unique_ptr<QMenu> menu(tools->makeToolsMenu(nullptr));
    EXPECT_EQ(menu->title(), QStringLiteral("Contextual Menu"));
    EXPECT_EQ(titles(menu.get()),
        (QStringList { QStringLiteral("Show Projects Summary"), QStringLiteral("Export database view"),
            QStringLiteral("-"), QStringLiteral("MDB/OMF Inspector") }));
    const auto *exports = qobject_cast<ExportMenu *>(menu->actions()[1]->menu());
    ASSERT_NE(exports, nullptr);
    EXPECT_EQ(exports->tableView(), dbTable());
}

TEST_F(AppToolsTest, WindowsGetTheirMenusButtonsAndQueue)
{
    for (const QMenuBar *bar : { app->window()->menuBar(), app->Database()->menuBar() }) {
        const QStringList shown = menuTitles(bar);
        EXPECT_EQ(shown.indexOf(QStringLiteral("Actions")) + 1, shown.indexOf(QStringLiteral("Tools")));
        EXPECT_EQ(shown.indexOf(QStringLiteral("Tools")) + 1, shown.indexOf(QStringLiteral("Help")));
    }
    EXPECT_EQ(tools->queueView()->parentWidget(), app->Database()->queueHost());
    EXPECT_EQ(tools->ActionManager().Queue(), tools->queueView());
    auto *exportButton
        = app->ProjectsSummaryWindow()->findChild<QPushButton *>(QStringLiteral("ExportProjectSummaryButton"));
    ASSERT_NE(exportButton, nullptr);
    EXPECT_TRUE(app->Database()->findChild<QPushButton *>(QStringLiteral("NewActionButton")));
}

TEST_F(AppToolsTest, OpeningTheStatusAreaShowsTheVersionNotice)
{
    VeskSettings::shared().setValue(VeskVersionNotice::kVersionURLKey, QStringLiteral("http://127.0.0.1:1/version"));
    status()->Status_SetTextWithString(QStringLiteral("before"));
    QTest::mouseClick(app->window()->MainSliderButton(), Qt::LeftButton);
    EXPECT_EQ(status()->text(), QStringLiteral("Error in http request"));
    status()->Status_SetTextWithString(QStringLiteral("before"));
    QTest::mouseClick(app->window()->MainSliderButton(), Qt::LeftButton);
    EXPECT_EQ(status()->text(), QStringLiteral("before")) << "closing it asks nothing";
}
