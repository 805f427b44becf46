#include "VeskOpenPanel.h"

#include "VeskFilesAndFoldersPanel.h"

#include <QDir>
#include <QFileDialog>

namespace {

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
    if (kind == Kind::FilesAndFolders) {
        VeskFilesAndFoldersPanel panel(parent);
        panel.setWindowTitle(QObject::tr("Choose Media Folders or Index Files"));
        panel.setDirectory(QDir::homePath());
        return panel.exec() == QDialog::Accepted ? panel.selectedFiles() : QStringList();
    }
    QFileDialog panel(parent);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setWindowTitle(QObject::tr("Choose Bins"));
    panel.setFileMode(QFileDialog::ExistingFiles);
    panel.setNameFilters({ QObject::tr("Avid bins (*.avb *.AVB)"), QObject::tr("All files (*)") });
    panel.setDirectory(QDir::homePath());
    return panel.exec() == QDialog::Accepted ? panel.selectedFiles() : QStringList();
}
