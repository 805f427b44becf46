#include "VeskStatusView.h"

#include "VeskProgressWheel.h"

#include "platform/VeskStatusViewController.h"

#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

namespace {
constexpr int kBigWheelSize = 44;
constexpr int kWheelMargin = 8;
} // namespace

VeskStatusView::VeskStatusView(QWidget *parent)
    : QWidget(parent)
    , m_controller(VeskStatusViewController::getTheController())
    , m_text(new QLabel(this))
    , m_progressText(new QLabel(this))
    , m_stop(new QPushButton(tr("Stop"), this))
    , m_bigWheel(new VeskProgressWheel(kBigWheelSize, this))
{
    setFixedHeight(kHeight);
    setAutoFillBackground(true);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setText(m_controller->text());
    m_progressText->setAlignment(Qt::AlignCenter);
    m_progressText->setTextFormat(Qt::PlainText);
    m_stop->setToolTip(tr("Stop the scan and keep the database as it was (Esc)"));
    connect(m_stop, &QPushButton::clicked, this, &VeskStatusView::stopRequested);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, m_stop, &QPushButton::click);
    setScanRunning(false);
    m_bigWheel->setDisplayedWhenStopped(false);
    Status_InitWheels();
    // Scanner threads change text and wheels often; each change only marks the view,
    // and one queued call per turn of the event loop draws the latest state.
    connect(
        m_controller, &VeskStatusViewController::textChanged, this, [this] { scheduleText(); }, Qt::DirectConnection);
}

// Wheel i sits 6 * i points right of the middle for odd i and 6 * (i + 1) points left
// of it for even i, so that the row grows outwards in alternation.
QPoint VeskStatusView::wheelPosition(int index, int width, int height)
{
    const int offset = index % 2 ? 6 * index : -6 * (index + 1);
    return { width / 2 - kWheelSize / 2 + offset, height - kWheelSize - kWheelMargin };
}

void VeskStatusView::Status_InitWheels()
{
    for (int i = 0; i < VeskStatusViewController::VeskMAXWheels; ++i) {
        auto *wheel = new VeskProgressWheel(kWheelSize, this);
        wheel->setDisplayedWhenStopped(false);
        m_wheels[size_t(i)] = wheel;
        connect(
            m_controller->wheel(i), &VeskStatusWheel::changed, this, [this, i] { scheduleWheel(i); },
            Qt::DirectConnection);
        showWheel(i);
    }
    placeWheels();
}

void VeskStatusView::placeWheels()
{
    for (int i = 0; i < int(m_wheels.size()); ++i)
        m_wheels[size_t(i)]->move(wheelPosition(i, width(), height()));
    m_bigWheel->move((width() - kBigWheelSize) / 2, (height() - kBigWheelSize) / 2 + 6);
    m_text->setGeometry(16, 18, width() - 32, 48);
    m_stop->adjustSize();
    m_stop->move(width() / 2 + kBigWheelSize / 2 + 24, (height() - m_stop->height()) / 2 + 6);
    m_progressText->setGeometry(16, height() / 2 + kBigWheelSize / 2 + 10, width() - 32, 20);
}

// A disabled button takes no clicks: Escape does nothing while no scan runs.
void VeskStatusView::setScanRunning(bool running)
{
    m_stop->setEnabled(running);
    m_stop->setVisible(running);
    m_progressText->setVisible(running);
    if (running)
        m_progressText->clear();
}

void VeskStatusView::showScanProgress(quint64 foldersDone, quint64 foldersFound, quint64 filesFound)
{
    const QLocale locale;
    m_progressText->setText(
        tr("%1 of %2 folders scanned, %3 files found")
            .arg(locale.toString(foldersDone), locale.toString(foldersFound), locale.toString(filesFound)));
}

void VeskStatusView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeWheels();
}

void VeskStatusView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(16, 0, width() - 16, 0);
}

void VeskStatusView::scheduleText()
{
    if (m_textPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_textPending = false;
            m_text->setText(m_controller->text());
        },
        Qt::QueuedConnection);
}

void VeskStatusView::scheduleWheel(int index)
{
    if (m_wheelPending[size_t(index)].exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this, index] {
            m_wheelPending[size_t(index)] = false;
            showWheel(index);
        },
        Qt::QueuedConnection);
}

void VeskStatusView::showWheel(int index)
{
    const VeskStatusWheel::State state = m_controller->wheel(index)->state();
    VeskProgressWheel *wheel = m_wheels[size_t(index)];
    wheel->setIndeterminate(state.indeterminate);
    wheel->setMaxValue(state.maximum);
    wheel->setDoubleValue(state.value);
    if (state.animating)
        wheel->startAnimation();
    else
        wheel->stopAnimation();
}
