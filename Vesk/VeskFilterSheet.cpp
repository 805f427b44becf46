#include "VeskFilterSheet.h"

#include "VeskBusyJob.h"
#include "VeskCheckBoxCell.h"
#include "VeskDatabaseTableview.h"
#include "VeskListsHost.h"
#include "VeskStoreTableView.h"

#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskStatusViewController.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

struct Flag {
    const char *objectName;
    const char *title;
    bool (VeskFilter::*get)() const;
    void (VeskFilter::*set)(bool);
};

const std::array<Flag, VeskFilterSheet::kFlagCount> kFlags = { {
    { "ShowOnlyPrecomputesCheckBox", "Precomputes", &VeskFilter::filterFlagPrecomputes,
        &VeskFilter::setFilterFlagPrecomputes },
    { "ShowOnlyImportedMediaCheckbox", "Imported media", &VeskFilter::filterFlagImportedMedia,
        &VeskFilter::setFilterFlagImportedMedia },
    { "ShowOnlyAudioMediaCheckbox", "Audio media", &VeskFilter::filterFlagAudioMedia,
        &VeskFilter::setFilterFlagAudioMedia },
    { "ShowOnlyNonPortableCheckBox", "Non-portable file names", &VeskFilter::filterFlagNonPortableFiles,
        &VeskFilter::setFilterFlagNonPortableFiles },
    { "ShowOnlyBadUMIDCheckbox", "Bad UMIDs", &VeskFilter::filterFlagBadUMID, &VeskFilter::setFilterFlagBadUMID },
    { "ShowOnlyUnreferencedMediaCheckbox", "Unreferenced media", &VeskFilter::filterFlagUnreferenced,
        &VeskFilter::setFilterFlagUnreferenced },
} };

} // namespace

VeskFilterSheet::VeskFilterSheet(VeskListsHost &host, QWidget *databaseWindow)
    : QDialog(databaseWindow)
    , m_host(host)
    , m_projects(
          new VeskStoreTableView(host.vsk(), VeskTableID::ProjectFilter, VeskColumns::projectFilterColumns(), this))
    , m_selectAll(new QPushButton(QStringLiteral("Deselect all"), this))
{
    setObjectName(QStringLiteral("FilterSheet"));
    setWindowTitle(tr("Filter"));
    setWindowModality(Qt::WindowModal);
    resize(560, 520);
    auto *flags = new QGroupBox(tr("Show only"), this);
    auto *grid = new QGridLayout(flags);
    addFlagBoxes(grid);
    m_projects->setObjectName(QStringLiteral("ProjectFilterTable"));
    m_projects->setSelectionMode(QAbstractItemView::NoSelection);
    m_projects->setFocusPolicy(Qt::NoFocus);
    m_projects->setItemDelegateForColumn(0, new VeskCheckBoxCell(m_projects));
    m_projects->setColumnWidth(0, 32);
    // Over a million items the shown rows follow a project's check on the store's
    // worker; while a scan runs the store's own step keeps them in order.
    m_projects->tableModel()->setCheckHandler([this](uint64_t row, bool checked) {
        const VeskProjectRef project = m_host.vsk().projectAtIndex(row);
        if (!project || VeskBusyJob::shared().othersBusy())
            return false;
        project->setMustBeShownInList(checked);
        m_host.databaseTable()->refreshRows(false, tr("Filtering"));
        return true;
    });
    m_projects->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_projects->horizontalHeader()->setStretchLastSection(false);
    m_projects->setColumnWidth(2, 110);
    m_selectAll->setObjectName(QStringLiteral("FilterSelectAllButton"));
    m_selectAll->setCheckable(true);
    m_selectAll->setChecked(true);
    connect(m_selectAll, &QPushButton::toggled, this,
        [this](bool on) { m_selectAll->setText(on ? QStringLiteral("Deselect all") : QStringLiteral("Select all")); });
    connect(m_selectAll, &QPushButton::clicked, this, &VeskFilterSheet::pushFilterSelectAllButton);
    auto *reset = new QPushButton(tr("Reset Filter"), this);
    connect(reset, &QPushButton::clicked, this, &VeskFilterSheet::ResetFilterState);
    auto *close = new QPushButton(tr("Close"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &VeskFilterSheet::CloseFilter);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_selectAll);
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(flags);
    layout->addWidget(m_projects);
    layout->addLayout(buttons);
}

void VeskFilterSheet::addFlagBoxes(QGridLayout *grid)
{
    for (int i = 0; i < kFlagCount; ++i) {
        auto *box = new QCheckBox(tr(kFlags[size_t(i)].title), this);
        box->setObjectName(QLatin1String(kFlags[size_t(i)].objectName));
        if (kFlags[size_t(i)].get == &VeskFilter::filterFlagUnreferenced)
            box->setToolTip(tr("Media not described by the folder's media database. To find media no bin "
                               "uses, drop the bins on the list."));
        connect(box, &QCheckBox::clicked, this, [this, i] { ChangeFilterState(i); });
        grid->addWidget(box, i % 3, i / 3);
        m_flagBoxes[size_t(i)] = box;
    }
}

void VeskFilterSheet::showFilterFlags()
{
    const VeskFilter &filter = VeskFilter::sharedFilter();
    for (int i = 0; i < kFlagCount; ++i) {
        const QSignalBlocker blocker(m_flagBoxes[size_t(i)]);
        m_flagBoxes[size_t(i)]->setChecked((filter.*kFlags[size_t(i)].get)());
    }
}

void VeskFilterSheet::ShowFilter()
{
    if (VeskStatusViewController::getTheController()->isRunning())
        return;
    showFilterFlags();
    m_projects->reloadData();
    open();
}

void VeskFilterSheet::CloseFilter()
{
    done(0);
    m_host.databaseTable()->reloadData();
}

// A click: like a project's check, the shown rows follow on the store's worker.
void VeskFilterSheet::pushFilterSelectAllButton()
{
    if (VeskBusyJob::shared().othersBusy())
        return;
    m_host.vsk().setAllProjectsShown(m_selectAll->isChecked());
    m_projects->reloadData();
    m_host.databaseTable()->refreshRows(false, tr("Filtering"));
}

// The scan's and the reset's own step: no worker, whose end would clear the busy state
// a scan has set.
void VeskFilterSheet::selectAllProjects()
{
    m_selectAll->setChecked(true);
    if (VeskStatusViewController::getTheController()->isRunning())
        return;
    m_host.vsk().setFilterFlagProjects(true);
    m_projects->reloadData();
}

void VeskFilterSheet::ChangeFilterState(int flag)
{
    if (VeskBusyJob::shared().othersBusy()) {
        showFilterFlags();
        return;
    }
    (VeskFilter::sharedFilter().*kFlags[size_t(flag)].set)(m_flagBoxes[size_t(flag)]->isChecked());
    m_host.databaseTable()->refreshRows(true, tr("Filtering"));
}

void VeskFilterSheet::ResetFilterState()
{
    if (VeskStatusViewController::getTheController()->isRunning())
        return;
    m_host.showUnfilteredLists();
    selectAllProjects();
}
