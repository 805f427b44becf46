#include "VeskQuarantineWindow.h"

#include "actions/VeskActionManager.h"
#include "actions/VeskQuarantine.h"
#include "model/VeskCore.h"
#include "report/VeskFileSize.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Id, Volume, Time, Files, Size };

} // namespace

VeskQuarantineWindow::VeskQuarantineWindow(VeskCore &core, VeskActionManager &actions, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_core(core)
    , m_actions(actions)
{
    setObjectName(QStringLiteral("VeskQuarantine"));
    setWindowTitle(tr("Quarantine"));
    m_table = new QTableWidget(0, 5, this);
    m_table->setHorizontalHeaderLabels({ tr("Set"), tr("Volume"), tr("Time"), tr("Files"), tr("Size") });
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    auto *refresh = new QPushButton(tr("Refresh"), this);
    m_restore = new QPushButton(tr("Restore"), this);
    m_purge = new QPushButton(tr("Purge…"), this);
    m_restore->setObjectName(QStringLiteral("Restore"));
    m_purge->setObjectName(QStringLiteral("Purge"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(m_restore);
    buttons->addWidget(m_purge);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    connect(refresh, &QPushButton::clicked, this, &VeskQuarantineWindow::reload);
    connect(m_restore, &QPushButton::clicked, this, [this] { queue(QStringLiteral("Restore")); });
    connect(m_purge, &QPushButton::clicked, this, &VeskQuarantineWindow::purge);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        const bool chosen = !selectedSets().isEmpty();
        m_restore->setEnabled(chosen);
        m_purge->setEnabled(chosen);
    });
    resize(720, 360);
}

void VeskQuarantineWindow::showWindow()
{
    reload();
    show();
    raise();
    activateWindow();
}

void VeskQuarantineWindow::reload()
{
    m_table->setRowCount(0);
    for (const QString &root : VeskQuarantine::volumeRootsOf(m_core.ItemsUnsorted()))
        for (const VeskQuarantineSet &set : VeskQuarantineSet::list(root)) {
            const int row = m_table->rowCount();
            m_table->insertRow(row);
            const QString cells[] = { set.id(), set.root(), QLocale().toString(set.time(), QLocale::ShortFormat),
                QString::number(set.entries().size()), VeskFileSize::toHumanBytes(double(set.size())) };
            for (int column = Id; column <= Size; ++column)
                m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
            m_table->item(row, Id)->setData(Qt::UserRole, set.folder());
        }
    m_table->resizeColumnsToContents();
    m_restore->setEnabled(false);
    m_purge->setEnabled(false);
}

QStringList VeskQuarantineWindow::selectedSets() const
{
    QStringList folders;
    for (const QModelIndex &row : m_table->selectionModel()->selectedRows(Id))
        folders << row.data(Qt::UserRole).toString();
    return folders;
}

void VeskQuarantineWindow::queue(const QString &action)
{
    VeskActionProperties properties;
    properties.Action = action;
    properties.Destination.reset();
    properties.Sets = selectedSets();
    if (properties.Sets.isEmpty())
        return;
    m_actions.SetUpNewActionWithOptions(properties);
    m_table->clearSelection();
}

void VeskQuarantineWindow::purge()
{
    const qsizetype count = selectedSets().size();
    QMessageBox question(QMessageBox::Warning, tr("Purge"),
        count == 1 ? tr("Delete this quarantine set and its files for good?")
                   : tr("Delete these %1 quarantine sets and their files for good?").arg(count),
        QMessageBox::Cancel, this);
    question.setInformativeText(tr("Purged files cannot be restored."));
    QPushButton *purge = question.addButton(tr("Purge"), QMessageBox::DestructiveRole);
    question.setDefaultButton(QMessageBox::Cancel);
    question.exec();
    if (question.clickedButton() == purge)
        queue(QStringLiteral("Purge"));
}
