#pragma once

#include "platform/VeskStatusWheel.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <memory>

/// The shared status of background work: one line of text, the sixteen small wheels
/// that scanner operations borrow, and the busy flag of the application. Any thread
/// may set the text or take and return wheels; the status area shows them from the
/// signals, which it receives queued on the main thread.
class VeskStatusViewController : public QObject {
    Q_OBJECT
public:
    static constexpr int VeskMAXThreads = 6;
    static constexpr int VeskMAXWheels = 16;

    static VeskStatusViewController *getTheController();

    void Status_SetTextWithString(const QString &text);
    QString text() const;
    /// A free wheel, lowest index first, spinning; none when all are lent out.
    VeskStatusWheel *Status_GetProgressWheel();
    void Status_DeleteProgressWheel(VeskStatusWheel *wheel);
    void StopAllWheels();
    VeskStatusWheel *wheel(int index) const { return m_wheels[size_t(index)].get(); }

    bool isRunning() const { return m_isRunning; }
    void setIsRunning(bool running);
    uint64_t wheelsleft() const;

Q_SIGNALS:
    void textChanged(const QString &text);
    void runningChanged(bool running);

private:
    VeskStatusViewController();
    void release(VeskStatusWheel &wheel);

    std::array<std::unique_ptr<VeskStatusWheel>, VeskMAXWheels> m_wheels;
    mutable QMutex lock1;
    std::atomic<bool> m_isRunning { false };
    uint64_t m_wheelsleft = VeskMAXWheels;
    QString m_text;
};
