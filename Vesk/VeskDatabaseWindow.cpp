#include "VeskDatabaseWindow.h"

#include "VeskAppliedBinsBar.h"
#include "VeskDatabaseTableview.h"
#include "VeskDragDropView.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
constexpr int kTopStrip = 40;
} // namespace

VeskDatabaseWindow::VeskDatabaseWindow(VeskCore &core, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Database"));
    setWindowTitle(tr("Vesk Database"));
    resize(1200, 720);
    auto *content = new QWidget(this);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeTopStrip(content));
    layout->addWidget(m_binsBar = new VeskAppliedBinsBar(content));
    m_splitter = new QSplitter(Qt::Horizontal, content);
    m_splitter->addWidget(makeTables(core, m_splitter));
    m_queueHost = new QWidget(m_splitter);
    m_queueHost->setObjectName(QStringLiteral("QueueHost"));
    m_queueHost->setLayout(new QVBoxLayout);
    m_queueHost->layout()->setContentsMargins(0, 0, 0, 0);
    m_queueHost->hide();
    m_splitter->addWidget(m_queueHost);
    m_splitter->setStretchFactor(0, 1);
    layout->addWidget(m_splitter, 1);
    setCentralWidget(content);
    m_dropZone = new VeskDragDropView(content, kTopStrip);
}

QWidget *VeskDatabaseWindow::makeTopStrip(QWidget *parent)
{
    auto *strip = new QWidget(parent);
    strip->setFixedHeight(kTopStrip);
    m_count = new QLabel(strip);
    m_count->setObjectName(QStringLiteral("itemsCountText"));
    m_count->setTextFormat(Qt::RichText);
    connect(m_count, &QLabel::linkActivated, this, &VeskDatabaseWindow::hiddenFilesLinkActivated);
    m_search = new QLineEdit(strip);
    m_search->setObjectName(QStringLiteral("searchField"));
    m_search->setPlaceholderText(tr("Search names, projects and paths"));
    m_search->setClearButtonEnabled(true);
    m_search->setMaximumWidth(320);
    m_search->installEventFilter(this);
    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(10, 4, 10, 4);
    layout->addWidget(m_count);
    m_toolButtons = VeskToolButtonRow(layout, layout->count());
    layout->addStretch();
    layout->addWidget(m_search, 1);
    return strip;
}

QWidget *VeskDatabaseWindow::makeTables(VeskCore &core, QWidget *parent)
{
    auto *box = new QWidget(parent);
    m_table = new VeskDatabaseTableview(core, box);
    m_summary = new VeskStoreTableView(core, VeskTableID::DatabaseSummary, VeskColumns::databaseSummaryColumns(), box);
    m_summary->setObjectName(QStringLiteral("SummaryTable"));
    m_summary->setSelectionMode(QAbstractItemView::NoSelection);
    m_summary->setFocusPolicy(Qt::NoFocus);
    m_summary->setAlternatingRowColors(false);
    m_summary->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_summary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_summary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_summary->setFixedHeight(m_summary->horizontalHeader()->sizeHint().height()
        + m_summary->verticalHeader()->defaultSectionSize() + 2 * m_summary->frameWidth());
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_summary);
    return box;
}

bool VeskDatabaseWindow::showsSheet() const
{
    for (const QDialog *dialog : findChildren<QDialog *>(Qt::FindDirectChildrenOnly))
        if (dialog->isVisible() && dialog->windowModality() == Qt::WindowModal)
            return true;
    return false;
}

void VeskDatabaseWindow::showItemsCount(uint64_t items, uint64_t hiddenMissing)
{
    const QString count = QLocale().toString(items);
    if (hiddenMissing == 0) {
        m_count->setText(items == 1 ? tr("1 item in the database") : tr("%1 items in the database").arg(count));
        m_count->setToolTip({});
        return;
    }
    const QString hidden = hiddenMissing == 1 ? tr("1 missing file hidden")
                                              : tr("%1 missing files hidden").arg(QLocale().toString(hiddenMissing));
    const QString link = QStringLiteral("<a href=\"#hidden\">%1</a>").arg(hidden);
    m_count->setText(items == 1 ? tr("1 item, %1").arg(link) : tr("%1 items, %2").arg(count, link));
    m_count->setToolTip(tr("Files the media indexes list but the disk does not have are hidden. "
                           "Click to change this in Preferences."));
}

// Esc empties the search field as a key of the field itself, not as a shortcut, which
// would also take it from a dialog opened over the window.
bool VeskDatabaseWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && !m_search->text().isEmpty()) {
        m_search->clear();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
