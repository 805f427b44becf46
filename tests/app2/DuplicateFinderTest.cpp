#include "AppToolsTestSupport.h"

#include "VeskDuplicateFinderWindow.h"
#include "VeskDuplicatesModel.h"

#include "model/StoreTestSupport.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeView>

#include <gtest/gtest.h>

using DuplicateFinder = StoreTest;

// Four copies of one file by UID and size; the one in folder d holds other bytes.
TEST_F(DuplicateFinder, ConfirmsContentsAndSelectsEveryCopyButTheKeptOne)
{
    TestFiles files;
    std::vector<VeskItemRef> items;
    for (const char *folder : { "a", "b", "c", "d" }) {
        const QByteArray bytes(4096, *folder == 'd' ? 'y' : 'x');
        items.push_back(makeItem(files.write(QStringLiteral("%1/clip.mxf").arg(QLatin1String(folder)), bytes)));
        items.back()->DB_filePackageUID()->UMIDx[16] = 7;
    }
    load(items);
    VeskDuplicateFinderWindow window(core);
    QAbstractItemModelTester tester(window.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    window.findDuplicates();
    QSignalSpy ended(&window, &VeskDuplicateFinderWindow::confirmationEnded);
    window.confirmByContent();
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(window.model()->groups().size(), 2u);

    window.ruleChooser()->setCurrentIndex(window.ruleChooser()->count() - 1); // under a folder
    window.folderText()->setText(files.path() + QStringLiteral("/b"));
    window.selectExtraCopies();
    QStringList selected;
    for (const QModelIndex &row : window.tree()->selectionModel()->selectedRows())
        selected << window.model()->copyAt(row)->DB_itemPath();
    selected.sort();
    EXPECT_EQ(selected, (QStringList { items[0]->DB_itemPath(), items[2]->DB_itemPath() }));
}
