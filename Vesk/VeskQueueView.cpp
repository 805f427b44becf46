#include "VeskQueueView.h"

#include "VeskActionTableCellView.h"
#include "VeskWorkspace.h"

#include "actions/VeskActionManager.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kPopoverMargin = 12;
} // namespace

VeskQueueView::VeskQueueView(VeskActionManager &dataSource, QWidget *parent)
    : QWidget(parent)
    , m_dataSource(dataSource)
    , m_table(new QListWidget(this))
    , m_clear(new QPushButton(tr("Clear Queue"), this))
{
    setObjectName(QStringLiteral("queue"));
    m_table->setObjectName(QStringLiteral("QueueTable"));
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setAlternatingRowColors(true);
    m_clear->setObjectName(QStringLiteral("ClearQueue"));
    connect(m_clear, &QPushButton::clicked, this, &VeskQueueView::ClearQueue);

    auto *title = new QLabel(tr("Actions"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto *top = new QHBoxLayout;
    top->addWidget(title);
    top->addStretch();
    top->addWidget(m_clear);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    setFixedWidth(kPanelWidth);

    m_slide.setDuration(kSlideMs);
    m_slide.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&m_slide, &QVariantAnimation::valueChanged, this,
        [this](const QVariant &width) { setHostWidth(width.toInt()); });
    makePopover();
    m_dataSource.queueAttachTo(this);
}

// The rows go first: the actions must not keep pointers to them.
VeskQueueView::~VeskQueueView()
{
    for (const std::shared_ptr<VeskAction> &action : m_dataSource.actions())
        action->setAction_Cell(nullptr);
    if (m_dataSource.Queue() == this)
        m_dataSource.queueAttachTo(nullptr);
}

void VeskQueueView::makePopover()
{
    m_popover = new QFrame(this, Qt::Popup);
    m_popover->setObjectName(QStringLiteral("popover"));
    m_popover->setFrameShape(QFrame::StyledPanel);
    m_popoverText = new QPlainTextEdit(m_popover);
    m_popoverText->setObjectName(QStringLiteral("popoverText"));
    m_popoverText->setReadOnly(true);
    m_popoverText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_popoverText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *layout = new QVBoxLayout(m_popover);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_popoverText);
}

// The panel keeps its width while the host opens and shuts around it, so that it
// slides in and out of sight from the edge instead of squeezing its rows.
void VeskQueueView::attachTo(QWidget *host)
{
    m_host = host;
    if (!host->layout())
        host->setLayout(new QVBoxLayout);
    host->layout()->setSizeConstraint(QLayout::SetNoConstraint);
    host->layout()->addWidget(this);
    setHostWidth(m_dataSource.isHidden() ? 0 : kPanelWidth);
}

void VeskQueueView::setHostWidth(int width)
{
    QWidget *target = m_host ? m_host.data() : this;
    target->setMaximumWidth(width);
    target->setVisible(width > 0);
}

void VeskQueueView::slide(bool visible)
{
    QWidget *target = m_host ? m_host.data() : this;
    const int from = target->isVisible() ? std::min(target->width(), kPanelWidth) : 0;
    m_slide.stop();
    m_slide.setStartValue(from);
    m_slide.setEndValue(visible ? kPanelWidth : 0);
    m_slide.start();
}

int VeskQueueView::rowCount() const
{
    return m_table->count();
}

VeskActionTableCellView *VeskQueueView::rowView(int row) const
{
    return qobject_cast<VeskActionTableCellView *>(m_table->itemWidget(m_table->item(row)));
}

VeskActionTableCellView *VeskQueueView::viewForRow(uint64_t row)
{
    auto *view = new VeskActionTableCellView;
    view->reset();
    connect(view, &VeskActionTableCellView::cancelOperation, this, &VeskQueueView::cancelOperation);
    connect(view, &VeskActionTableCellView::ShowInfoPopover, this, &VeskQueueView::ShowInfoPopover);
    connect(view, &VeskActionTableCellView::doubleClicked, this, [this](VeskActionTableCellView *row) {
        for (int n = 0; n < rowCount(); ++n)
            if (rowView(n) == row)
                doubleClickQueue(n);
    });
    m_dataSource.SetCell(view, row);
    return view;
}

// The row's height follows its description, which wraps at the panel's width.
void VeskQueueView::placeRow(int row, VeskActionTableCellView *view)
{
    auto *item = new QListWidgetItem;
    m_table->insertItem(row, item);
    m_table->setItemWidget(item, view);
    const int width = kPanelWidth - 2 * m_table->frameWidth() - m_table->verticalScrollBar()->sizeHint().width() - 12;
    item->setSizeHint(QSize(width, view->heightForWidth(width)));
}

void VeskQueueView::insertRowAtTop()
{
    placeRow(0, viewForRow(0));
}

void VeskQueueView::removeRow(uint64_t row)
{
    if (row < uint64_t(m_table->count()))
        delete m_table->takeItem(int(row));
}

void VeskQueueView::reloadData()
{
    m_table->clear();
    const uint64_t rows = m_dataSource.numberOfRowsInTableView();
    for (uint64_t row = 0; row < rows; ++row)
        placeRow(int(row), viewForRow(row));
}

void VeskQueueView::cancelOperation(VeskActionTableCellView *row)
{
    if (const std::shared_ptr<VeskAction> action = row->actionDelegate())
        m_dataSource.queueRemoveAction(action);
}

void VeskQueueView::ClearQueue()
{
    m_dataSource.clearQueue();
    reloadData();
}

// The log keeps its lines as written: the popover grows to the longest line, as far
// as the screen allows, and scrolls beyond that.
void VeskQueueView::ShowInfoPopover(VeskActionTableCellView *row)
{
    const std::shared_ptr<VeskAction> action = row->actionDelegate();
    if (m_popover->isVisible())
        m_popover->hide();
    if (!action)
        return;
    const QString log = action->Action_Operation()->actionLog();
    m_popoverText->setPlainText(log);
    const QFontMetrics metrics(m_popoverText->font());
    int longest = 0;
    const QStringList lines = log.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        longest = std::max(longest, metrics.horizontalAdvance(line));
    const QWidget *anchor = row->infoButton();
    const QRect screen = anchor->screen()->availableGeometry();
    const int chrome = 2 * kPopoverMargin + m_popoverText->verticalScrollBar()->sizeHint().width();
    const QSize size(std::clamp(longest + chrome, 200, screen.width() - 2 * kPopoverMargin),
        std::clamp(int(lines.size()) * metrics.lineSpacing() + chrome, 80, screen.height() / 2));
    const QRect button(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    QRect frame(QPoint(button.center().x() - size.width() / 2, button.top() - size.height()), size);
    frame.moveLeft(std::clamp(frame.left(), screen.left(), screen.right() - size.width()));
    // Without room above the button, the popover opens below it.
    if (frame.top() < screen.top())
        frame.moveTop(button.bottom() + 1);
    m_popover->setGeometry(frame);
    m_popover->show();
}

void VeskQueueView::doubleClickQueue(int row)
{
    if (row < 0 || uint64_t(row) >= m_dataSource.numberOfRowsInTableView())
        return;
    const VeskActionOperation &operation = *m_dataSource.actions()[size_t(row)]->Action_Operation();
    if (operation.Action_Properties().Action == QLatin1String("Delete") || !operation.targetURL())
        return;
    VeskWorkspace::activateFileViewerSelectingURLs({ *operation.targetURL() });
}
