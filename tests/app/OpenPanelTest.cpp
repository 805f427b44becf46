#include "VeskOpenPanel.h"

#include "support/TestFiles.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

// In the next open panel: goes to the folder, selects the named rows and confirms.
void chooseLater(const QString &folder, const QStringList &names)
{
    QTimer::singleShot(0, [folder, names] {
        auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(panel);
        panel->setDirectory(folder);
        auto *tree = panel->findChild<QTreeView *>(QStringLiteral("treeView"));
        ASSERT_TRUE(tree);
        ASSERT_TRUE(QTest::qWaitFor([&] { return tree->model()->rowCount(tree->rootIndex()) >= names.size(); }));
        for (int row = 0; row < tree->model()->rowCount(tree->rootIndex()); ++row) {
            const QModelIndex index = tree->model()->index(row, 0, tree->rootIndex());
            if (names.contains(index.data().toString()))
                tree->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        QPushButton *choose = panel->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
        EXPECT_TRUE(QTest::qWaitFor([choose] { return choose->isEnabled(); }));
        choose->click();
    });
}

} // namespace

TEST(OpenPanel, FolderScanTakesFilesAndFoldersTogether)
{
    TestFiles files;
    files.write(QStringLiteral("1/msmFMID.pmr"), "index");
    files.write(QStringLiteral("2/msmFMID.pmr"), "index");
    files.write(QStringLiteral("loose.pmr"), "index");
    chooseLater(files.path(), { QStringLiteral("loose.pmr"), QStringLiteral("2") });
    QStringList chosen = VeskOpenPanel::choose(VeskOpenPanel::Kind::FilesAndFolders, nullptr);
    chosen.sort();
    EXPECT_EQ(
        chosen, QStringList({ files.path() + QStringLiteral("/2"), files.path() + QStringLiteral("/loose.pmr") }));
}
