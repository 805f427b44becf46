#include "platform/VeskStatusViewController.h"

#include "base/VeskNSLog.h"

VeskStatusViewController *VeskStatusViewController::getTheController()
{
    static VeskStatusViewController *const controller = new VeskStatusViewController;
    return controller;
}

VeskStatusViewController::VeskStatusViewController()
    : m_text(QStringLiteral("Wish you all the best!"))
{
    for (int i = 0; i < VeskMAXWheels; ++i)
        m_wheels[size_t(i)] = std::make_unique<VeskStatusWheel>(i);
}

void VeskStatusViewController::Status_SetTextWithString(const QString &text)
{
    if (text.isNull())
        return;
    QMutexLocker locker(&lock1);
    m_text = text;
    Q_EMIT textChanged(text);
}

QString VeskStatusViewController::text() const
{
    QMutexLocker locker(&lock1);
    return m_text;
}

VeskStatusWheel *VeskStatusViewController::Status_GetProgressWheel()
{
    QMutexLocker locker(&lock1);
    if (m_wheelsleft == 0) {
        VESK_LOG(QStringLiteral("NowheelsLeft"));
        return nullptr;
    }
    for (const std::unique_ptr<VeskStatusWheel> &wheel : m_wheels) {
        if (!wheel->isFree())
            continue;
        wheel->setIsFree(false);
        wheel->startAnimation();
        --m_wheelsleft;
        return wheel.get();
    }
    return nullptr;
}

void VeskStatusViewController::release(VeskStatusWheel &wheel)
{
    wheel.setIsFree(true);
    wheel.setIndeterminate(true);
    wheel.stopAnimation();
}

void VeskStatusViewController::Status_DeleteProgressWheel(VeskStatusWheel *wheel)
{
    if (!wheel)
        return;
    QMutexLocker locker(&lock1);
    if (wheel->isFree())
        return; // given back twice: count it once
    release(*wheel);
    ++m_wheelsleft;
}

void VeskStatusViewController::StopAllWheels()
{
    QMutexLocker locker(&lock1);
    for (const std::unique_ptr<VeskStatusWheel> &wheel : m_wheels)
        release(*wheel);
    m_wheelsleft = VeskMAXWheels;
}

void VeskStatusViewController::setIsRunning(bool running)
{
    m_isRunning = running;
    Q_EMIT runningChanged(running);
}

uint64_t VeskStatusViewController::wheelsleft() const
{
    QMutexLocker locker(&lock1);
    return m_wheelsleft;
}
