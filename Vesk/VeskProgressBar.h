#pragma once

#include "platform/VeskProgressIndicator.h"

#include <QProgressBar>

/// A progress bar that the action queue drives. Byte counts do not fit the bar's int
/// range, so the value is shown as a share of the maximum. An indeterminate bar moves
/// while it is animated and stands full once its animation has stopped (the action
/// has ended). Calls from other threads are handed to the bar's thread.
class VeskProgressBar : public QProgressBar, public VeskProgressIndicator {
    Q_OBJECT
public:
    explicit VeskProgressBar(QWidget *parent = nullptr);

    bool isIndeterminate() const { return m_indeterminate; }
    bool isAnimating() const { return m_animating; }
    double doubleValue() const { return m_value; }
    double maxValue() const { return m_maximum; }

    void setIndeterminate(bool indeterminate) override;
    void setDoubleValue(double value) override;
    void setMaxValue(double maximum) override;
    void startAnimation() override;
    void stopAnimation() override;
    void displayIfNeeded() override;

private:
    void onOwnThread(const std::function<void()> &change);
    void redisplay();

    bool m_indeterminate = false;
    bool m_animating = false;
    double m_value = 0;
    double m_maximum = 100;
};
