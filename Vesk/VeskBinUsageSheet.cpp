#include "VeskBinUsageSheet.h"

#include "model/VeskCore.h"
#include "report/VeskFileSize.h"
#include "scan/VeskBinUsageReport.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <variant>

namespace {

QTableWidgetItem *cell(const QString &text, bool number, bool bold)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    QFont font = item->font();
    font.setBold(bold);
    item->setFont(font);
    return item;
}

} // namespace

VeskBinUsageSheet::VeskBinUsageSheet(VeskCore &core, QWidget *databaseWindow)
    : QDialog(databaseWindow)
    , m_core(core)
    , m_note(new QLabel(this))
    , m_table(new QTableWidget(0, 5, this))
    , m_offline(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("BinUsageSheet"));
    setWindowTitle(tr("Bin Usage"));
    setWindowModality(Qt::WindowModal);
    resize(640, 460);
    m_note->setWordWrap(true);
    m_table->setHorizontalHeaderLabels({ tr("Bin"), tr("Media Files"), tr("Found"), tr("Size Found"), tr("Offline") });
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 5; ++column)
        m_table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_offline->setReadOnly(true);
    m_offline->setMaximumHeight(110);
    m_offline->setPlaceholderText(tr("None: every media file of the chosen bins is here."));
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &VeskBinUsageSheet::showOffline);
    auto *close = new QPushButton(tr("Close"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    layout->addWidget(m_table);
    layout->addWidget(new QLabel(tr("Offline media (no file found):"), this));
    layout->addWidget(m_offline);
    layout->addLayout(buttons);
}

void VeskBinUsageSheet::showBinUsage()
{
    fill();
    open();
}

void VeskBinUsageSheet::fill()
{
    m_table->setRowCount(0);
    m_offlineOfRow.clear();
    m_offline->clear();
    const QStringList bins = m_core.binUsage().binPaths();
    if (bins.isEmpty()) {
        m_note->setText(tr("No bins yet. Drop bins on the media list, then choose Bin Usage again to see how "
                           "much of their media is here."));
        return;
    }
    const auto sources = VeskBinUsageReport::readBins(bins);
    if (const QString *problem = std::get_if<QString>(&sources)) {
        m_note->setText(tr("The bins could not be read again: %1").arg(*problem));
        return;
    }
    m_note->setText(tr("How much of the media your bins use is in the scanned folders. Each media file "
                       "counts once, however many clips use it."));
    for (const VeskBinUsageReport::Row &row :
        VeskBinUsageReport::rows(m_core.ItemsUnsorted(), std::get<std::vector<VeskBinUsageReport::Source>>(sources))) {
        const bool total = row.bin == VeskBinUsageReport::allBins();
        const int at = m_table->rowCount();
        m_table->insertRow(at);
        m_table->setItem(at, 0, cell(total ? tr("All bins") : QFileInfo(row.bin).completeBaseName(), false, total));
        m_table->item(at, 0)->setToolTip(total ? QString() : row.bin);
        m_table->setItem(at, 1, cell(QString::number(row.references), true, total));
        m_table->setItem(at, 2, cell(QString::number(row.found), true, total));
        m_table->setItem(at, 3, cell(VeskFileSize::toHumanBytes(double(row.foundSize)), true, total));
        m_table->setItem(at, 4, cell(QString::number(row.offline.size()), true, total));
        QStringList offline;
        for (const AVBFileUID &uid : row.offline)
            offline.push_back(uid.text());
        m_offlineOfRow.push_back(offline);
    }
    m_table->selectRow(m_table->rowCount() - 1); // all bins: their offline media at once
}

void VeskBinUsageSheet::showOffline()
{
    const QList<QTableWidgetItem *> chosen = m_table->selectedItems();
    const size_t row = chosen.isEmpty() ? m_offlineOfRow.size() : size_t(chosen.first()->row());
    m_offline->setPlainText(row < m_offlineOfRow.size() ? m_offlineOfRow[row].join(QLatin1Char('\n')) : QString());
}
