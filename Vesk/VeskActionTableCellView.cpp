#include "VeskActionTableCellView.h"

#include "VeskProgressBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

VeskActionTableCellView::VeskActionTableCellView(QWidget *parent)
    : QFrame(parent)
    , m_textField(new QLabel(this))
    , m_statusText(new QLabel(this))
    , m_progress(new VeskProgressBar(this))
    , m_info(new QToolButton(this))
    , m_cancel(new QToolButton(this))
{
    setObjectName(QStringLiteral("ActionCell"));
    setFrameShape(QFrame::NoFrame);
    m_textField->setObjectName(QStringLiteral("textField"));
    m_textField->setTextInteractionFlags(Qt::NoTextInteraction);
    m_textField->setTextFormat(Qt::PlainText);
    m_textField->setWordWrap(true);
    m_textField->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_statusText->setObjectName(QStringLiteral("statusText"));
    m_statusText->setTextFormat(Qt::PlainText);
    QFont bold = m_statusText->font();
    bold.setBold(true);
    m_statusText->setFont(bold);
    m_progress->setObjectName(QStringLiteral("ProgressIndicator"));
    m_progress->setFixedHeight(10);
    m_info->setObjectName(QStringLiteral("infoButton"));
    m_info->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    m_info->setToolTip(tr("Show the action's log"));
    m_info->setAutoRaise(true);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_cancel->setToolTip(tr("Cancel and remove the action"));
    m_cancel->setAutoRaise(true);
    connect(m_info, &QToolButton::clicked, this, [this] { Q_EMIT ShowInfoPopover(this); });
    connect(m_cancel, &QToolButton::clicked, this, [this] { Q_EMIT cancelOperation(this); });

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 4, 6);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(4);
    layout->addWidget(m_statusText, 0, 0);
    layout->addWidget(m_info, 0, 1);
    layout->addWidget(m_cancel, 0, 2);
    layout->addWidget(m_textField, 1, 0, 1, 3);
    layout->addWidget(m_progress, 2, 0, 1, 3);
    layout->setColumnStretch(0, 1);
    reset();
}

// Destination paths have no blanks to wrap at; a zero-width space after every
// separator lets a long path wrap at its folders instead of being cut off.
void VeskActionTableCellView::setDescription(const QString &text)
{
    m_description = text;
    QString shown = text;
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    m_textField->setText(shown);
    m_textField->setToolTip(text);
}

void VeskActionTableCellView::setStatusWord(const QString &word)
{
    m_statusText->setText(word);
}

// The row covers its whole line of the table, so it takes the table's double click.
void VeskActionTableCellView::mouseDoubleClickEvent(QMouseEvent *)
{
    Q_EMIT doubleClicked(this);
}

VeskProgressIndicator &VeskActionTableCellView::ProgressIndicator()
{
    return *m_progress;
}

QString VeskActionTableCellView::description() const
{
    return m_description;
}

QString VeskActionTableCellView::statusWord() const
{
    return m_statusText->text();
}
