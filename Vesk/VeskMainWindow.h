#pragma once

#include "VeskToolButtonRow.h"

#include <QMainWindow>
#include <QParallelAnimationGroup>

class QLabel;
class QPushButton;
class VeskStatusView;

/// The main window: the start buttons above, the status area below. The slider
/// button moves between two layouts: off, the start view fills the window and the
/// status area waits out of sight below it; on, the start view moves up by 178
/// points and the status area slides in at the bottom.
class VeskMainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kFirstViewOriginOn = 178;
    static constexpr int kStatusOriginOff = -193;

    explicit VeskMainWindow(QWidget *parent = nullptr);

    QWidget *MainView() const { return m_mainView; }
    QWidget *FirstView() const { return m_firstView; }
    VeskStatusView *SecondaryView() const { return m_statusView; }
    QPushButton *MainSliderButton() const { return m_slider; }
    QPushButton *BigRedButton() const { return m_bigButton; }
    QPushButton *SmallRedButton() const { return m_smallButton; }
    QPushButton *DatabaseButton() const { return m_databaseButton; }
    QLabel *VersionLabel() const { return m_version; }
    /// A button for a command from outside, in the lower bar after the status button.
    QPushButton *addToolButton(const QString &title) { return m_toolButtons.add(title); }

    /// Places both views for the slider state, animated or at once.
    void placeViews(bool sliderOn, bool animate);
    /// Where the first view and the status area sit (top edges) for a slider state.
    QPoint viewOrigins(bool sliderOn) const;

private:
    QWidget *makeFirstView();
    QWidget *makeStartButtons(QWidget *parent);
    QWidget *makeLowerBar(QWidget *parent);

    QWidget *m_mainView;
    QWidget *m_firstView = nullptr;
    VeskStatusView *m_statusView;
    QPushButton *m_slider = nullptr;
    QPushButton *m_bigButton = nullptr;
    QPushButton *m_smallButton = nullptr;
    QPushButton *m_databaseButton = nullptr;
    QLabel *m_version = nullptr;
    VeskToolButtonRow m_toolButtons;
    QParallelAnimationGroup m_slide;
};
