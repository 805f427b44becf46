#include "VeskProgressBar.h"

#include <QPointer>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kSteps = 10000;
} // namespace

VeskProgressBar::VeskProgressBar(QWidget *parent)
    : QProgressBar(parent)
{
    setTextVisible(false);
    redisplay();
}

void VeskProgressBar::onOwnThread(const std::function<void()> &change)
{
    if (QThread::currentThread() == thread()) {
        change();
        return;
    }
    QMetaObject::invokeMethod(this, change, Qt::QueuedConnection);
}

void VeskProgressBar::setIndeterminate(bool indeterminate)
{
    onOwnThread([this, indeterminate] {
        m_indeterminate = indeterminate;
        redisplay();
    });
}

void VeskProgressBar::setDoubleValue(double value)
{
    onOwnThread([this, value] {
        m_value = value;
        redisplay();
    });
}

void VeskProgressBar::setMaxValue(double maximum)
{
    onOwnThread([this, maximum] {
        m_maximum = maximum;
        redisplay();
    });
}

void VeskProgressBar::startAnimation()
{
    onOwnThread([this] {
        m_animating = true;
        redisplay();
    });
}

void VeskProgressBar::stopAnimation()
{
    onOwnThread([this] {
        m_animating = false;
        redisplay();
    });
}

void VeskProgressBar::displayIfNeeded()
{
    onOwnThread([this] { repaint(); });
}

void VeskProgressBar::redisplay()
{
    if (m_indeterminate && m_animating) {
        setRange(0, 0);
        return;
    }
    setRange(0, kSteps);
    if (m_indeterminate) {
        setValue(kSteps);
        return;
    }
    const double share = m_maximum > 0 ? std::clamp(m_value / m_maximum, 0.0, 1.0) : 0.0;
    setValue(int(std::lround(share * kSteps)));
}
