#include "VeskProjectsSummarySheet.h"

#include "VeskStoreTableView.h"

#include "model/VeskCore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

VeskProjectsSummarySheet::VeskProjectsSummarySheet(VeskCore &core, QWidget *databaseWindow)
    : QDialog(databaseWindow)
    , m_table(new VeskStoreTableView(core, VeskTableID::ProjectSummary, VeskColumns::projectSummaryColumns(), this))
{
    setObjectName(QStringLiteral("ProjectsSummaryWindow"));
    setWindowTitle(tr("Projects Summary"));
    setWindowModality(Qt::WindowModal);
    resize(560, 420);
    m_table->setObjectName(QStringLiteral("ProjectSumaryTable"));
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->setColumnWidth(1, 110);
    m_table->setColumnWidth(2, 80);
    auto *close = new QPushButton(tr("Close"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &VeskProjectsSummarySheet::CloseProjectsSummary);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    m_toolButtons = VeskToolButtonRow(buttons, 0);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(tr("Shown media by project"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
}

// Every change of the rows brings the project numbers with it: opening only shows them.
void VeskProjectsSummarySheet::ShowProjectsSummary()
{
    m_table->reloadData();
    open();
}

void VeskProjectsSummarySheet::CloseProjectsSummary()
{
    done(0);
}
