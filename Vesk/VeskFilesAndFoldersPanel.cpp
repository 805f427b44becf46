#include "VeskFilesAndFoldersPanel.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

VeskFilesAndFoldersPanel::VeskFilesAndFoldersPanel(QWidget *parent)
    : QDialog(parent)
    , m_model(new QFileSystemModel(this))
    , m_listing(new QTreeView(this))
    , m_location(new QLineEdit(this))
{
    resize(720, 460);
    m_model->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    m_model->setRootPath(QDir::rootPath());
    m_listing->setModel(m_model);
    m_listing->setRootIsDecorated(false);
    m_listing->setItemsExpandable(false);
    m_listing->setExpandsOnDoubleClick(false);
    m_listing->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listing->header()->resizeSection(0, 320);
    auto *up = new QPushButton(tr("Up"), this);
    up->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    m_choose = buttons->button(QDialogButtonBox::Open);
    auto *top = new QHBoxLayout;
    top->addWidget(m_location, 1);
    top->addWidget(up);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_listing, 1);
    layout->addWidget(buttons);
    connect(up, &QPushButton::clicked, this, &VeskFilesAndFoldersPanel::goUp);
    connect(m_location, &QLineEdit::returnPressed, this, [this] { setDirectory(m_location->text()); });
    connect(m_listing, &QAbstractItemView::doubleClicked, this, &VeskFilesAndFoldersPanel::enterRow);
    connect(m_listing->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &VeskFilesAndFoldersPanel::updateChoose);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateChoose();
}

void VeskFilesAndFoldersPanel::setDirectory(const QString &path)
{
    const QModelIndex folder = m_model->index(QDir(path).absolutePath());
    if (!folder.isValid() || !m_model->isDir(folder))
        return;
    m_listing->clearSelection();
    m_listing->setRootIndex(folder);
    m_location->setText(m_model->filePath(folder));
    updateChoose();
}

QString VeskFilesAndFoldersPanel::directory() const
{
    return m_model->filePath(m_listing->rootIndex());
}

QStringList VeskFilesAndFoldersPanel::selectedFiles() const
{
    QModelIndexList rows = m_listing->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList paths;
    for (const QModelIndex &row : rows)
        paths.push_back(m_model->filePath(row));
    return paths;
}

void VeskFilesAndFoldersPanel::enterRow(const QModelIndex &index)
{
    if (m_model->isDir(index))
        setDirectory(m_model->filePath(index));
    else
        accept();
}

void VeskFilesAndFoldersPanel::goUp()
{
    QDir folder(directory());
    if (folder.cdUp())
        setDirectory(folder.path());
}

void VeskFilesAndFoldersPanel::updateChoose()
{
    const QStringList paths = selectedFiles();
    m_choose->setEnabled(!paths.isEmpty()
        && std::all_of(paths.begin(), paths.end(), [](const QString &path) { return QFileInfo::exists(path); }));
}
