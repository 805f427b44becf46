#include "VeskMainWindow.h"

#include "VeskStatusView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 480;
constexpr int kHeight = VeskMainWindow::kFirstViewOriginOn - VeskMainWindow::kStatusOriginOff;
constexpr int kSlideMs = 250;
} // namespace

VeskMainWindow::VeskMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_mainView(new QWidget(this))
    , m_statusView(nullptr)
{
    setObjectName(QStringLiteral("window"));
    setWindowTitle(QStringLiteral("Vesk"));
    m_mainView->setObjectName(QStringLiteral("MainView"));
    m_mainView->setFixedSize(kWidth, kHeight);
    setCentralWidget(m_mainView);
    m_firstView = makeFirstView();
    m_statusView = new VeskStatusView(m_mainView);
    m_statusView->setObjectName(QStringLiteral("SecondaryView"));
    m_statusView->setFixedWidth(kWidth);
    for (QWidget *view : { m_firstView, static_cast<QWidget *>(m_statusView) }) {
        auto *move = new QPropertyAnimation(view, "pos", &m_slide);
        move->setDuration(kSlideMs);
        move->setEasingCurve(QEasingCurve::InOutCubic);
        m_slide.addAnimation(move);
    }
    connect(&m_slide, &QAbstractAnimation::finished, m_mainView, qOverload<>(&QWidget::update));
    placeViews(false, false);
}

QWidget *VeskMainWindow::makeFirstView()
{
    auto *view = new QWidget(m_mainView);
    view->setObjectName(QStringLiteral("FirstView"));
    view->setFixedSize(kWidth, kHeight);
    auto *title = new QLabel(QStringLiteral("Vesk"), view);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    title->setFont(big);
    auto *icon = new QLabel(view);
    icon->setPixmap(
        QPixmap(QStringLiteral(":/vesk.png")).scaled(72, 72, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto *tagline = new QLabel(tr("Find, sort and tidy the media of Avid systems"), view);
    tagline->setForegroundRole(QPalette::PlaceholderText);
    auto *heading = new QVBoxLayout;
    heading->addStretch();
    heading->addWidget(title);
    heading->addWidget(tagline);
    heading->addStretch();
    auto *top = new QHBoxLayout;
    top->setContentsMargins(28, 0, 28, 0);
    top->addWidget(icon);
    top->addSpacing(14);
    top->addLayout(heading, 1);
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *upper = new QWidget(view);
    upper->setFixedHeight(kFirstViewOriginOn);
    upper->setLayout(top);
    layout->addWidget(upper);
    layout->addWidget(makeStartButtons(view));
    layout->addWidget(makeLowerBar(view));
    auto *hint = new QLabel(tr("Scan the volumes or folders that hold Avid media, then drop bins on the database "
                               "window to see which media they use."),
        view);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);
    hint->setContentsMargins(28, 6, 28, 0);
    layout->addWidget(hint);
    layout->addStretch();
    return view;
}

QWidget *VeskMainWindow::makeStartButtons(QWidget *parent)
{
    auto *box = new QWidget(parent);
    m_bigButton = new QPushButton(tr("Scan Volumes…"), box);
    m_bigButton->setObjectName(QStringLiteral("BigRedButton"));
    m_bigButton->setToolTip(tr("Clear the database and scan the Avid media folders of chosen volumes"));
    m_smallButton = new QPushButton(tr("Scan Folders…"), box);
    m_smallButton->setObjectName(QStringLiteral("SmallRedButton"));
    m_smallButton->setToolTip(tr("Add the media of chosen folders to the database"));
    m_bigButton->setStyleSheet(QStringLiteral("QPushButton { background: #b3261e; color: white; border-radius: 6px;"
                                              " padding: 10px 18px; font-weight: bold; }"
                                              "QPushButton:disabled { background: #c9a9a6; }"));
    m_smallButton->setStyleSheet(QStringLiteral("QPushButton { padding: 9px 16px; }"));
    m_bigButton->setMinimumHeight(44);
    m_smallButton->setMinimumHeight(44);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(28, 18, 28, 8);
    layout->setSpacing(14);
    layout->addWidget(m_bigButton, 1);
    layout->addWidget(m_smallButton, 1);
    return box;
}

QWidget *VeskMainWindow::makeLowerBar(QWidget *parent)
{
    auto *bar = new QWidget(parent);
    m_databaseButton = new QPushButton(tr("Show Database"), bar);
    m_slider = new QPushButton(tr("Status"), bar);
    m_slider->setObjectName(QStringLiteral("MainSliderButton"));
    m_slider->setCheckable(true);
    m_slider->setToolTip(tr("Show or hide the status area"));
    m_version = new QLabel(bar);
    m_version->setObjectName(QStringLiteral("VersionLabel"));
    m_version->setForegroundRole(QPalette::PlaceholderText);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(28, 8, 28, 8);
    layout->addWidget(m_databaseButton);
    layout->addWidget(m_slider);
    m_toolButtons = VeskToolButtonRow(layout, layout->count());
    layout->addStretch();
    layout->addWidget(m_version);
    return bar;
}

// The main view is exactly as high as the two offsets together, so that the lower
// part of the first view stays in sight above the status area.
QPoint VeskMainWindow::viewOrigins(bool sliderOn) const
{
    return sliderOn ? QPoint(-kFirstViewOriginOn, kHeight - VeskStatusView::kHeight) : QPoint(0, kHeight);
}

void VeskMainWindow::placeViews(bool sliderOn, bool animate)
{
    const QPoint origins = viewOrigins(sliderOn);
    const QPoint first(0, origins.x());
    const QPoint status(0, origins.y());
    m_slide.stop();
    if (!animate) {
        m_firstView->move(first);
        m_statusView->move(status);
        m_mainView->update();
        return;
    }
    auto *moveFirst = static_cast<QPropertyAnimation *>(m_slide.animationAt(0));
    auto *moveStatus = static_cast<QPropertyAnimation *>(m_slide.animationAt(1));
    moveFirst->setStartValue(m_firstView->pos());
    moveFirst->setEndValue(first);
    moveStatus->setStartValue(m_statusView->pos());
    moveStatus->setEndValue(status);
    m_slide.start();
}
