#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class VeskAction;
class VeskActionManager;

/// Stands between a quit and the end of the application while file actions run: asks
/// first, then cancels the actions and the post-action script, and lets the quit go on
/// once every action has ended (and removed what it was writing), or after
/// kCleanUpLimitMs at most. The interface keeps being served meanwhile.
class VeskQuitGuard : public QObject {
    Q_OBJECT
public:
    static constexpr int kCleanUpLimitMs = 30000;

    /// Watches the application's quit events; `keepRunning` shows a window again when
    /// the user chose to stay after the windows had closed.
    VeskQuitGuard(VeskActionManager &manager, std::function<void()> keepRunning, QObject *parent = nullptr);
    ~VeskQuitGuard() override;

    /// True when the application may quit now: no action runs, or the user chose to
    /// cancel them and they have ended or the limit has passed.
    bool mayQuit();
    /// Whether an action has not ended yet.
    bool actionsRunning() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<std::shared_ptr<VeskAction>> runningActions() const;
    bool waitForEnd(const std::vector<std::shared_ptr<VeskAction>> &running);

    VeskActionManager &m_manager;
    std::function<void()> m_keepRunning;
    bool m_waiting = false;
};
