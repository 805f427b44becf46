#include "VeskProgressWheel.h"

#include <QPainter>
#include <QTimerEvent>

#include <cmath>

namespace {
constexpr int kSpokes = 12;
constexpr int kStepMs = 80;
} // namespace

VeskProgressWheel::VeskProgressWheel(int diameter, QWidget *parent)
    : QWidget(parent)
    , m_diameter(diameter)
{
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize VeskProgressWheel::sizeHint() const
{
    return { m_diameter, m_diameter };
}

void VeskProgressWheel::setDisplayedWhenStopped(bool displayed)
{
    m_displayedWhenStopped = displayed;
    update();
}

void VeskProgressWheel::setIndeterminate(bool indeterminate)
{
    m_indeterminate = indeterminate;
    update();
}

void VeskProgressWheel::setDoubleValue(double value)
{
    m_value = value;
    update();
}

void VeskProgressWheel::setMaxValue(double maximum)
{
    m_maximum = maximum;
    update();
}

void VeskProgressWheel::startAnimation()
{
    m_animating = true;
    if (!m_timer.isActive())
        m_timer.start(kStepMs, this);
    update();
}

void VeskProgressWheel::stopAnimation()
{
    m_animating = false;
    m_timer.stop();
    update();
}

void VeskProgressWheel::displayIfNeeded()
{
    update();
}

void VeskProgressWheel::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_step = (m_step + 1) % kSpokes;
    if (m_indeterminate)
        update();
}

void VeskProgressWheel::paintEvent(QPaintEvent *)
{
    if (!isShowing())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_indeterminate)
        paintSpokes(painter, box);
    else
        paintDisc(painter, box);
}

// The brightest spoke leads; the ones behind it fade out.
void VeskProgressWheel::paintSpokes(QPainter &painter, const QRectF &box) const
{
    const double radius = box.width() / 2;
    QPen pen(palette().color(QPalette::WindowText));
    pen.setWidthF(std::max(1.5, radius / 4.5));
    pen.setCapStyle(Qt::RoundCap);
    painter.translate(box.center());
    for (int i = 0; i < kSpokes; ++i) {
        const int age = (m_step - i + kSpokes) % kSpokes;
        QColor color = pen.color();
        color.setAlphaF(m_animating ? 1.0 - 0.8 * age / kSpokes : 0.35);
        pen.setColor(color);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / kSpokes);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius + pen.widthF() / 2));
        painter.restore();
    }
}

void VeskProgressWheel::paintDisc(QPainter &painter, const QRectF &box) const
{
    const QColor color = palette().color(QPalette::Highlight);
    painter.setPen(QPen(color, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box);
    const double share = m_maximum > 0 ? std::clamp(m_value / m_maximum, 0.0, 1.0) : 0.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPie(box.adjusted(1.5, 1.5, -1.5, -1.5), 90 * 16, -int(std::lround(share * 360 * 16)));
}
