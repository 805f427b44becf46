#include "VeskFilesAndFoldersPanel.h"
#include "VeskOpenPanel.h"

#include "support/TestFiles.h"
#include "support/WaitFor.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

// Goes to the folder in the panel, selects the named rows and confirms; false when
// it could not.
bool choose(VeskFilesAndFoldersPanel *panel, const QString &folder, const QStringList &names)
{
    panel->setDirectory(folder);
    QTreeView *tree = panel->listing();
    if (!waitFor([&] { return tree->model()->rowCount(tree->rootIndex()) >= names.size(); }))
        return false;
    for (int row = 0; row < tree->model()->rowCount(tree->rootIndex()); ++row) {
        const QModelIndex index = tree->model()->index(row, 0, tree->rootIndex());
        if (names.contains(index.data().toString()))
            tree->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QPushButton *open = panel->chooseButton();
    if (!waitFor([open] { return open->isEnabled(); }))
        return false;
    open->click();
    return true;
}

// In the next open panel: chooses the names. A panel that cannot choose is closed, so
// that the test fails instead of hanging.
void chooseLater(const QString &folder, const QStringList &names)
{
    QTimer::singleShot(0, [folder, names] {
        auto *panel = qobject_cast<VeskFilesAndFoldersPanel *>(QApplication::activeModalWidget());
        if (panel && choose(panel, folder, names))
            return;
        ADD_FAILURE() << "the open panel could not choose " << names.join(QStringLiteral(", ")).toStdString();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
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
