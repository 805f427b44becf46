#pragma once

#include "AppDelegate.h"
#include "VeskBusyJob.h"
#include "VeskDatabaseTableview.h"
#include "VeskDatabaseWindow.h"
#include "support/WaitFor.h"

#include "model/StoreTestSupport.h"
#include "platform/VeskStatusViewController.h"
#include "report/VeskAlert.h"

#include <QCoreApplication>

#include <memory>

/// The application started on its own store, with settings in memory, alerts answered
/// with their first button and no scan running.
class AppTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        previousAlerts = VeskAlert::setHandler([](const VeskAlert::Request &) { return int(VeskAlert::First); });
        status()->setIsRunning(false);
        status()->StopAllWheels();
        launch();
    }

    void TearDown() override
    {
        EXPECT_TRUE(refreshed());
        app.reset();
        status()->setIsRunning(false);
        VeskAlert::setHandler(previousAlerts);
        StoreTest::TearDown();
    }

    void launch()
    {
        app = std::make_unique<AppDelegate>(core);
        app->applicationDidFinishLaunching();
    }

    /// Loads the items as a scan ends: rebuilt store, tables reloaded.
    void loadAndShow(const std::vector<VeskItemRef> &items)
    {
        load(items);
        app->AllTablesReload();
    }

    /// Waits until no refresh of the rows runs on the store's worker.
    static bool refreshed()
    {
        return waitFor([] { return !VeskBusyJob::shared().isBusy(); });
    }

    static VeskStatusViewController *status() { return VeskStatusViewController::getTheController(); }
    VeskDatabaseTableview *dbTable() const { return app->databaseTable(); }
    int shownRows() const { return dbTable()->model()->rowCount(); }

    /// The texts the database table shows in the column, top to bottom.
    QStringList shownColumn(const QString &identifier) const
    {
        QStringList texts;
        const int column = dbTable()->tableModel()->columnOf(identifier);
        for (int row = 0; row < shownRows(); ++row)
            texts.push_back(dbTable()->model()->index(row, column).data().toString());
        return texts;
    }
    QStringList shownFileNames() const { return shownColumn(QStringLiteral("FilenameCellID")); }

    std::unique_ptr<AppDelegate> app;
    VeskAlert::Handler previousAlerts;
};
