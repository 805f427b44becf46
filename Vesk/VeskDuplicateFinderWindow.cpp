#include "VeskDuplicateFinderWindow.h"

#include "VeskDuplicatesModel.h"
#include "VeskNewActionWindow.h"

#include "base/VeskNSLog.h"
#include "model/VeskCore.h"
#include "report/VeskFileSize.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

using Rule = VeskDuplicates::KeepRule::Kind;
// The rule chooser's entries, in order.
const Rule kRules[] = { Rule::Oldest, Rule::Newest, Rule::First, Rule::Under };

} // namespace

VeskDuplicateFinderWindow *VeskDuplicateFinderWindow::sharedInstance()
{
    static auto *instance = new VeskDuplicateFinderWindow(VeskCore::sharedCore());
    return instance;
}

VeskDuplicateFinderWindow::VeskDuplicateFinderWindow(VeskCore &core, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_core(core)
    , m_model(new VeskDuplicatesModel(this))
    , m_tree(new QTreeView)
    , m_summary(new QLabel)
{
    setObjectName(QStringLiteral("VeskDuplicateFinder"));
    setWindowTitle(tr("Duplicate Finder"));
    m_tree->setModel(m_model);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setUniformRowHeights(true);
    m_tree->setAlternatingRowColors(true);
    // A long folder keeps its end: the media folder that tells copies apart.
    m_tree->setTextElideMode(Qt::ElideLeft);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(VeskDuplicatesModel::Name, QHeaderView::Stretch);
    for (const auto &[column, width] :
        { std::pair { VeskDuplicatesModel::Place, 100 }, { VeskDuplicatesModel::Size, 80 },
            { VeskDuplicatesModel::Copies, 50 }, { VeskDuplicatesModel::ExtraSize, 80 },
            { VeskDuplicatesModel::Created, 140 }, { VeskDuplicatesModel::Status, 90 } })
        m_tree->setColumnWidth(column, width);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeButtonRow());
    layout->addWidget(m_tree, 1);
    layout->addWidget(makeProgressRow());
    layout->addWidget(makeSelectionRow());
    layout->addWidget(m_summary);
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &VeskDuplicateFinderWindow::updateSummary);
    setConfirming(false);
    resize(1000, 560);
}

VeskDuplicateFinderWindow::~VeskDuplicateFinderWindow()
{
    m_stopRequested = true;
    if (m_worker.joinable())
        m_worker.join();
}

QWidget *VeskDuplicateFinderWindow::makeButtonRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_find = new QPushButton(tr("Find Again"));
    m_confirm = new QPushButton(tr("Confirm by Content"));
    m_confirm->setToolTip(tr("Reads every copy and sets apart the copies whose contents differ."));
    connect(m_find, &QPushButton::clicked, this, &VeskDuplicateFinderWindow::findDuplicates);
    connect(m_confirm, &QPushButton::clicked, this, &VeskDuplicateFinderWindow::confirmByContent);
    layout->addWidget(m_find);
    layout->addWidget(m_confirm);
    layout->addStretch(1);
    return row;
}

QWidget *VeskDuplicateFinderWindow::makeProgressRow()
{
    m_progressRow = new QWidget;
    auto *layout = new QHBoxLayout(m_progressRow);
    layout->setContentsMargins(0, 0, 0, 0);
    m_progress = new QProgressBar;
    m_progress->setRange(0, 1000);
    m_progress->setFormat(tr("Comparing contents: %p%"));
    m_stop = new QPushButton(tr("Stop"));
    connect(m_stop, &QPushButton::clicked, this, &VeskDuplicateFinderWindow::stopConfirming);
    layout->addWidget(m_progress, 1);
    layout->addWidget(m_stop);
    return m_progressRow;
}

QWidget *VeskDuplicateFinderWindow::makeSelectionRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_rule = new QComboBox;
    m_rule->addItems({ tr("Keep the oldest copy"), tr("Keep the newest copy"), tr("Keep the first copy in the list"),
        tr("Keep the copy in the folder:") });
    m_folder = new QLineEdit;
    m_folder->setPlaceholderText(tr("Volume or folder"));
    m_choose = new QPushButton(tr("Choose..."));
    m_select = new QPushButton(tr("Select Extra Copies"));
    m_newAction = new QPushButton(tr("New Action..."));
    connect(m_rule, &QComboBox::currentIndexChanged, this, &VeskDuplicateFinderWindow::ruleChanged);
    connect(m_folder, &QLineEdit::textChanged, this, &VeskDuplicateFinderWindow::ruleChanged);
    connect(m_choose, &QPushButton::clicked, this, &VeskDuplicateFinderWindow::chooseFolder);
    connect(m_select, &QPushButton::clicked, this, &VeskDuplicateFinderWindow::selectExtraCopies);
    connect(m_newAction, &QPushButton::clicked, this, &VeskDuplicateFinderWindow::newAction);
    layout->addWidget(m_rule);
    layout->addWidget(m_folder, 1);
    layout->addWidget(m_choose);
    layout->addWidget(m_select);
    layout->addWidget(m_newAction);
    return row;
}

void VeskDuplicateFinderWindow::showWindow(VeskActionManager &manager)
{
    m_manager = &manager;
    if (!m_worker.joinable())
        findDuplicates();
    show();
    raise();
    activateWindow();
}

void VeskDuplicateFinderWindow::findDuplicates()
{
    std::vector<VeskItemRef> items;
    items.reserve(m_core.IndexesSorted().size());
    for (const uint32_t position : m_core.IndexesSorted())
        items.push_back(m_core.ItemsUnsorted()[position]);
    showGroups(VeskDuplicates::find(items));
}

void VeskDuplicateFinderWindow::showGroups(std::vector<VeskDuplicates::Group> groups)
{
    m_model->setGroups(std::move(groups));
    updateSummary();
}

// The worker reads the files; what it finds comes back to the main thread, and is
// dropped there if the window has gone.
void VeskDuplicateFinderWindow::confirmByContent()
{
    if (m_worker.joinable() || m_model->groups().empty())
        return;
    m_stopRequested = false;
    m_shownPermille = -1;
    m_worker = std::thread([this, groups = m_model->groups()] {
        QStringList errors;
        auto confirmed = VeskDuplicates::confirmByContent(
            groups,
            [this](uint64_t done, uint64_t total) {
                showProgress(done, total);
                return !m_stopRequested;
            },
            &errors);
        QMetaObject::invokeMethod(
            this, [this, confirmed, errors] { confirmationFinished(confirmed, errors); }, Qt::QueuedConnection);
    });
    setConfirming(true);
}

// Called on the worker: only a change of a tenth of a percent reaches the main thread.
void VeskDuplicateFinderWindow::showProgress(uint64_t done, uint64_t total)
{
    const int permille = total ? int(done * 1000 / total) : 1000;
    if (m_shownPermille.exchange(permille) != permille)
        QMetaObject::invokeMethod(
            this, [this, permille] { m_progress->setValue(permille); }, Qt::QueuedConnection);
}

void VeskDuplicateFinderWindow::stopConfirming()
{
    m_stopRequested = true;
}

void VeskDuplicateFinderWindow::confirmationFinished(
    std::optional<std::vector<VeskDuplicates::Group>> groups, const QStringList &errors)
{
    m_worker.join();
    for (const QString &error : errors)
        VESK_LOG(QStringLiteral("Duplicate Finder :: cannot read %1").arg(error));
    if (groups)
        showGroups(std::move(*groups));
    setConfirming(false);
    Q_EMIT confirmationEnded();
}

void VeskDuplicateFinderWindow::setConfirming(bool confirming)
{
    m_progressRow->setVisible(confirming);
    m_progress->setValue(0);
    m_find->setEnabled(!confirming);
    m_confirm->setEnabled(!confirming);
    ruleChanged();
    updateSummary();
}

void VeskDuplicateFinderWindow::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Choose the Folder to Keep"), m_folder->text());
    if (!folder.isEmpty()) {
        m_rule->setCurrentIndex(int(std::size(kRules)) - 1);
        m_folder->setText(folder);
    }
}

void VeskDuplicateFinderWindow::ruleChanged()
{
    const bool under = kRules[m_rule->currentIndex()] == Rule::Under;
    m_folder->setEnabled(under);
    m_choose->setEnabled(under);
    m_select->setEnabled(keepRule().has_value() && !m_worker.joinable());
}

std::optional<VeskDuplicates::KeepRule> VeskDuplicateFinderWindow::keepRule() const
{
    const Rule kind = kRules[m_rule->currentIndex()];
    if (kind == Rule::Under && m_folder->text().trimmed().isEmpty())
        return std::nullopt;
    return VeskDuplicates::KeepRule { kind, kind == Rule::Under ? m_folder->text().trimmed() : QString() };
}

// Every copy but the kept one of each group is selected; the groups that have one
// are opened so that the selection shows.
void VeskDuplicateFinderWindow::selectExtraCopies()
{
    const std::optional<VeskDuplicates::KeepRule> rule = keepRule();
    if (!rule)
        return;
    QItemSelection selection;
    const std::vector<VeskDuplicates::Group> &groups = m_model->groups();
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::vector<VeskItemRef> extras = VeskDuplicates::extras(groups[g], *rule);
        for (size_t c = 0; c < groups[g].copies.size(); ++c) {
            if (std::find(extras.begin(), extras.end(), groups[g].copies[c]) == extras.end())
                continue;
            const QModelIndex copy = m_model->indexOfCopy(g, c);
            selection.select(copy, copy.siblingAtColumn(VeskDuplicatesModel::ColumnCount - 1));
            m_tree->expand(copy.parent());
        }
    }
    m_tree->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::vector<VeskItemRef> VeskDuplicateFinderWindow::selectedCopies() const
{
    std::vector<VeskItemRef> copies;
    for (const QModelIndex &row : m_tree->selectionModel()->selectedRows())
        if (VeskItemRef copy = m_model->copyAt(row); copy && copy->DB_FileExists())
            copies.push_back(std::move(copy));
    return copies;
}

void VeskDuplicateFinderWindow::newAction()
{
    if (m_manager)
        VeskNewActionWindow::NewAction(selectedCopies(), this, *m_manager);
}

void VeskDuplicateFinderWindow::updateSummary()
{
    const VeskDuplicates::Totals totals = VeskDuplicates::totals(m_model->groups());
    QString text = tr("%n groups, ", nullptr, int(totals.groups)) + tr("%n copies; ", nullptr, int(totals.copies))
        + tr("removing the extra copies would free %1.").arg(VeskFileSize::toHumanBytes(double(totals.extraSize)));
    const std::vector<VeskItemRef> selected = selectedCopies();
    uint64_t selectedSize = 0;
    for (const VeskItemRef &copy : selected)
        selectedSize += copy->DB_filesize().value_or(0);
    if (!selected.empty())
        text += QLatin1Char(' ')
            + tr("%n copies selected (%1).", nullptr, int(selected.size()))
                  .arg(VeskFileSize::toHumanBytes(double(selectedSize)));
    m_summary->setText(text);
    m_newAction->setEnabled(!selected.empty() && !m_worker.joinable());
}
