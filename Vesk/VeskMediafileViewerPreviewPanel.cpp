#include "VeskMediafileViewerPreviewPanel.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QWidget *makeContainer(const VeskPreviewContents &contents, QWidget *parent)
{
    if (contents.style == VeskPreviewContents::Style::FixedPitchText) {
        auto *field = new QPlainTextEdit(parent);
        field->setPlainText(contents.text);
        field->setReadOnly(true);
        field->setLineWrapMode(QPlainTextEdit::NoWrap);
        field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        field->setFocusPolicy(Qt::NoFocus);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Text, Qt::black);
        palette.setColor(QPalette::Base, Qt::white);
        field->setPalette(palette);
        return field;
    }
    auto *label = new QLabel(contents.text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

} // namespace

VeskMediafileViewerPreviewPanel::VeskMediafileViewerPreviewPanel(QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_animation(this, "geometry")
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowOpacity(0.9);
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    m_animation.setDuration(180);
    m_animation.setEasingCurve(QEasingCurve::OutCubic);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
        &VeskMediafileViewerPreviewPanel::followApplicationState);
    updateContentsWith(std::nullopt);
}

VeskPreviewContents VeskMediafileViewerPreviewPanel::defaultContents()
{
    return { QStringLiteral("No objects for preview"), VeskPreviewContents::Style::Label };
}

void VeskMediafileViewerPreviewPanel::updateContentsWith(const std::optional<VeskPreviewContents> &contents)
{
    if (m_container) {
        m_container->hide();
        m_container->deleteLater();
    }
    m_contents = contents && !contents->text.isEmpty() ? *contents : defaultContents();
    m_container = makeContainer(m_contents, this);
    layout()->addWidget(m_container);
    m_container->show();
}

void VeskMediafileViewerPreviewPanel::animateFrom(const QRect &from, const QRect &to, bool animate)
{
    m_animation.stop();
    setGeometry(from);
    show();
    raise();
    if (!animate) {
        setGeometry(to);
        return;
    }
    m_animation.setStartValue(from);
    m_animation.setEndValue(to);
    m_animation.start();
}

void VeskMediafileViewerPreviewPanel::hidePanel()
{
    m_animation.stop();
    m_hiddenWhileInactive = false;
    hide();
}

// A dialog that blocks the owner window blocks the panel too; the panel then steps
// aside, since it cannot be used while the dialog runs.
bool VeskMediafileViewerPreviewPanel::event(QEvent *event)
{
    if (event->type() == QEvent::WindowBlocked)
        hidePanel();
    return QWidget::event(event);
}

void VeskMediafileViewerPreviewPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(236, 236, 236));
    painter.setPen(QColor(0, 0, 0, 70));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

// Like other floating panels, the preview steps aside while another application is
// in front, and comes back with this one.
void VeskMediafileViewerPreviewPanel::followApplicationState(Qt::ApplicationState state)
{
    if (state == Qt::ApplicationActive && m_hiddenWhileInactive) {
        m_hiddenWhileInactive = false;
        show();
    } else if (state != Qt::ApplicationActive && isVisible()) {
        m_hiddenWhileInactive = true;
        hide();
    }
}
