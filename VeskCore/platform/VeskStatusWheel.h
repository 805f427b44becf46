#pragma once

#include "platform/VeskProgressIndicator.h"

#include <QMutex>
#include <QObject>

/// One small progress wheel of the status area, as state: lent out or free,
/// spinning or not, determinate with a value and maximum. Any thread may change it;
/// the status area draws it from `changed`, which it receives on its own thread.
class VeskStatusWheel : public QObject, public VeskProgressIndicator {
    Q_OBJECT
public:
    struct State {
        bool animating = false;
        bool indeterminate = true;
        double value = 0;
        double maximum = 100;
    };

    explicit VeskStatusWheel(int index);

    int index() const { return m_index; }
    bool isFree() const { return m_isFree; }
    void setIsFree(bool free) { m_isFree = free; }
    State state() const;

    bool takesCallsFromAnyThread() const override { return true; }

    void setIndeterminate(bool indeterminate) override;
    void setDoubleValue(double value) override;
    void setMaxValue(double maximum) override;
    void startAnimation() override;
    void stopAnimation() override;
    void displayIfNeeded() override;

Q_SIGNALS:
    void changed();

private:
    template <typename Change> void update(Change change);

    const int m_index;
    bool m_isFree = true; // guarded by the controller's lock
    mutable QMutex m_lock;
    State m_state;
};
