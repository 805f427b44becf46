#pragma once

#include "platform/VeskProgressIndicator.h"

#include <QBasicTimer>
#include <QWidget>

/// A spinning progress wheel: twelve spokes turning while it is indeterminate and
/// animating, a filling disc while it is determinate. A stopped wheel may be drawn
/// or not. Used on the main thread only.
class VeskProgressWheel : public QWidget, public VeskProgressIndicator {
    Q_OBJECT
public:
    explicit VeskProgressWheel(int diameter, QWidget *parent = nullptr);

    void setDisplayedWhenStopped(bool displayed);
    bool isAnimating() const { return m_animating; }
    bool isIndeterminate() const { return m_indeterminate; }
    double doubleValue() const { return m_value; }
    double maxValue() const { return m_maximum; }
    /// Whether anything is drawn now.
    bool isShowing() const { return m_animating || m_displayedWhenStopped; }

    void setIndeterminate(bool indeterminate) override;
    void setDoubleValue(double value) override;
    void setMaxValue(double maximum) override;
    void startAnimation() override;
    void stopAnimation() override;
    void displayIfNeeded() override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void paintSpokes(QPainter &painter, const QRectF &box) const;
    void paintDisc(QPainter &painter, const QRectF &box) const;

    const int m_diameter;
    QBasicTimer m_timer;
    int m_step = 0;
    bool m_animating = false;
    bool m_indeterminate = true;
    bool m_displayedWhenStopped = true;
    double m_value = 0;
    double m_maximum = 100;
};
