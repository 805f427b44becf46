#include "VeskVolumeSelector.h"

#include "base/VeskMainThread.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <random>

VeskVolumeSelector::VeskVolumeSelector(const QStringList &volumes, QWidget *parent)
    : QDialog(parent)
    , m_volumes(volumes)
    , m_checks(size_t(volumes.size()), true)
    , m_table(new QTableWidget(int(volumes.size()), 2, this))
    , m_toggle(new QPushButton(QStringLiteral("Deselect all"), this))
{
    setObjectName(QStringLiteral("VeskVolumeSelector"));
    setWindowTitle(tr("Choose Volumes"));
    setWindowModality(Qt::WindowModal);
    resize(520, 340);
    m_table->setHorizontalHeaderLabels({ QString(), tr("Volume") });
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_toggle->setCheckable(true);
    m_toggle->setChecked(true);
    auto *random = new QPushButton(tr("Random"), this);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    auto *go = new QPushButton(tr("Scan"), this);
    go->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_toggle);
    buttons->addWidget(random);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(go);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Scan the Avid media folders of these volumes:"), this));
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    connect(m_toggle, &QPushButton::toggled, this, &VeskVolumeSelector::delectDeselectAll);
    connect(random, &QPushButton::clicked, this, &VeskVolumeSelector::randomizeSelection);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(go, &QPushButton::clicked, this, &VeskVolumeSelector::pushGo);
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->column() == 0)
            m_checks[size_t(item->row())] = item->checkState() == Qt::Checked;
    });
    connect(this, &QDialog::finished, this, &VeskVolumeSelector::sheetDidEnd);
    reloadTable();
}

void VeskVolumeSelector::DoSomethingUsefulWithBlock(std::function<void()> block)
{
    m_block = std::move(block);
    VeskMainThread::run(
        [this] {
            hide();
            open();
        },
        false);
}

void VeskVolumeSelector::pushGo()
{
    done(1);
}

void VeskVolumeSelector::sheetDidEnd(int result)
{
    if (result != 1 || !m_block)
        return;
    const std::function<void()> block = std::move(m_block);
    m_block = nullptr;
    block();
}

QStringList VeskVolumeSelector::createResultingArray() const
{
    QStringList chosen;
    for (qsizetype i = 0; i < m_volumes.size(); ++i)
        if (m_checks[size_t(i)])
            chosen.push_back(m_volumes[i]);
    return chosen;
}

void VeskVolumeSelector::delectDeselectAll(bool on)
{
    m_toggle->setText(on ? QStringLiteral("Deselect all") : QStringLiteral("Select all"));
    std::fill(m_checks.begin(), m_checks.end(), on);
    reloadTable();
}

void VeskVolumeSelector::randomizeSelection()
{
    static std::mt19937 random { std::random_device {}() };
    std::bernoulli_distribution coin(0.5);
    for (size_t i = 0; i < m_checks.size(); ++i)
        m_checks[i] = coin(random);
    reloadTable();
}

void VeskVolumeSelector::setVolumeChecked(int row, bool checked)
{
    m_table->item(row, 0)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void VeskVolumeSelector::reloadTable()
{
    const QSignalBlocker blocker(m_table);
    for (int row = 0; row < int(m_volumes.size()); ++row) {
        auto *check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        check->setCheckState(m_checks[size_t(row)] ? Qt::Checked : Qt::Unchecked);
        m_table->setItem(row, 0, check);
        auto *path = new QTableWidgetItem(m_volumes[row]);
        path->setFlags(Qt::ItemIsEnabled);
        m_table->setItem(row, 1, path);
    }
}
