#include "platform/VeskStatusWheel.h"

VeskStatusWheel::VeskStatusWheel(int index)
    : m_index(index)
{
}

VeskStatusWheel::State VeskStatusWheel::state() const
{
    QMutexLocker locker(&m_lock);
    return m_state;
}

template <typename Change> void VeskStatusWheel::update(Change change)
{
    {
        QMutexLocker locker(&m_lock);
        change(m_state);
    }
    Q_EMIT changed();
}

void VeskStatusWheel::setIndeterminate(bool indeterminate)
{
    update([=](State &s) { s.indeterminate = indeterminate; });
}

void VeskStatusWheel::setDoubleValue(double value)
{
    update([=](State &s) { s.value = value; });
}

void VeskStatusWheel::setMaxValue(double maximum)
{
    update([=](State &s) { s.maximum = maximum; });
}

void VeskStatusWheel::startAnimation()
{
    update([](State &s) { s.animating = true; });
}

void VeskStatusWheel::stopAnimation()
{
    update([](State &s) { s.animating = false; });
}

void VeskStatusWheel::displayIfNeeded()
{
    Q_EMIT changed();
}
