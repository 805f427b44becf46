#pragma once

#include <QLabel>
#include <QPoint>
#include <QWidget>

#include <array>
#include <atomic>

class QPushButton;
class VeskProgressWheel;
class VeskStatusViewController;

/// The status area of the main window: the status line, the big wheel of a whole
/// scan and the sixteen small wheels of the running folder scanners, in one row at
/// the bottom, growing outwards from the middle. It shows the shared status
/// controller; changes from other threads are gathered and drawn at most once per
/// turn of the event loop. While a scan runs it shows the scan's counts and a Stop
/// button, which Escape in its window presses too.
class VeskStatusView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 193;
    static constexpr int kWheelSize = 12;

    explicit VeskStatusView(QWidget *parent = nullptr);

    QLabel *InfoTextField() const { return m_text; }
    VeskProgressWheel *Status_GetBigWheel() const { return m_bigWheel; }
    VeskProgressWheel *smallWheel(int index) const { return m_wheels[size_t(index)]; }
    /// Where small wheel `index` sits in an area `width` wide (top left corner).
    static QPoint wheelPosition(int index, int width, int height);
    QLabel *scanProgressText() const { return m_progressText; }
    QPushButton *stopButton() const { return m_stop; }

public Q_SLOTS:
    void setScanRunning(bool running);
    void showScanProgress(quint64 foldersDone, quint64 foldersFound, quint64 filesFound);

Q_SIGNALS:
    void stopRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Status_InitWheels();
    void placeWheels();
    void scheduleText();
    void scheduleWheel(int index);
    void showWheel(int index);

    VeskStatusViewController *m_controller;
    QLabel *m_text;
    QLabel *m_progressText;
    QPushButton *m_stop;
    VeskProgressWheel *m_bigWheel;
    std::array<VeskProgressWheel *, 16> m_wheels {};
    std::atomic<bool> m_textPending { false };
    std::array<std::atomic<bool>, 16> m_wheelPending {};
};
