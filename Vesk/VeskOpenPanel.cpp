#include "VeskOpenPanel.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <memory>

namespace {

bool allExist(const QStringList &paths)
{
    for (const QString &path : paths)
        if (!QFileInfo::exists(path))
            return false;
    return !paths.isEmpty();
}

// Qt's own dialog in folder mode lists files too but takes only folders; this one
// takes whatever is selected, files and folders alike, several at once.
class FilesAndFoldersPanel : public QFileDialog {
public:
    explicit FilesAndFoldersPanel(QWidget *parent)
        : QFileDialog(parent)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::Directory);
        for (QAbstractItemView *view : findChildren<QAbstractItemView *>()) {
            if (!qobject_cast<QListView *>(view) && !qobject_cast<QTreeView *>(view))
                continue;
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &FilesAndFoldersPanel::enableChooseLater);
        }
        if (auto *names = findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            connect(names, &QLineEdit::textChanged, this, &FilesAndFoldersPanel::enableChooseLater);
    }

    void accept() override
    {
        if (allExist(selectedFiles()))
            QDialog::accept();
        else
            QFileDialog::accept();
    }

private:
    // After the dialog's own check of the selection, which refuses files.
    void enableChooseLater() { QTimer::singleShot(0, this, &FilesAndFoldersPanel::enableChoose); }

    void enableChoose()
    {
        if (auto *box = findChild<QDialogButtonBox *>(QStringLiteral("buttonBox")))
            if (QPushButton *choose = box->button(QDialogButtonBox::Open))
                choose->setEnabled(allExist(selectedFiles()));
    }
};

VeskOpenPanel::Chooser &installedChooser()
{
    static VeskOpenPanel::Chooser chooser;
    return chooser;
}

} // namespace

QStringList VeskOpenPanel::choose(Kind kind, QWidget *parent)
{
    return installedChooser() ? installedChooser()(kind, parent) : runPanel(kind, parent);
}

VeskOpenPanel::Chooser VeskOpenPanel::setChooser(Chooser chooser)
{
    std::swap(installedChooser(), chooser);
    return chooser;
}

QStringList VeskOpenPanel::runPanel(Kind kind, QWidget *parent)
{
    std::unique_ptr<QFileDialog> panel;
    if (kind == Kind::Bins) {
        panel = std::make_unique<QFileDialog>(parent);
        panel->setOption(QFileDialog::DontUseNativeDialog);
        panel->setWindowTitle(QObject::tr("Choose Bins"));
        panel->setFileMode(QFileDialog::ExistingFiles);
        panel->setNameFilters({ QObject::tr("Avid bins (*.avb *.AVB)"), QObject::tr("All files (*)") });
    } else {
        panel = std::make_unique<FilesAndFoldersPanel>(parent);
        panel->setWindowTitle(QObject::tr("Choose Media Folders or Index Files"));
    }
    panel->setDirectory(QDir::homePath());
    if (panel->exec() != QDialog::Accepted)
        return {};
    return panel->selectedFiles();
}
