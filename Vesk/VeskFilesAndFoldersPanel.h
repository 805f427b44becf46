#pragma once

#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

/// The open panel of the folder scan: lists one folder and takes whatever is selected
/// in it, files and folders alike, several at once. Double-clicking a folder, the
/// location field and the up button move between folders.
class VeskFilesAndFoldersPanel : public QDialog {
    Q_OBJECT
public:
    explicit VeskFilesAndFoldersPanel(QWidget *parent = nullptr);

    void setDirectory(const QString &path);
    QString directory() const;
    /// The chosen paths, in the order of the listing.
    QStringList selectedFiles() const;

    QTreeView *listing() const { return m_listing; }
    QPushButton *chooseButton() const { return m_choose; }

private:
    void enterRow(const QModelIndex &index);
    void goUp();
    void updateChoose();

    QFileSystemModel *m_model;
    QTreeView *m_listing;
    QLineEdit *m_location;
    QPushButton *m_choose = nullptr;
};
