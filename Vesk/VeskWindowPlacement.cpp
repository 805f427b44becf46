#include "VeskWindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

constexpr const char *kPlaced = "veskPlaced";

// Popups, tool tips and floating panels put themselves beside what they belong to.
bool placesItself(const QWidget *window)
{
    const Qt::WindowType type = window->windowType();
    return type != Qt::Window && type != Qt::Dialog && type != Qt::Sheet;
}

QScreen *screenOf(const QWidget *window)
{
    if (QScreen *screen = QGuiApplication::screenAt(window->frameGeometry().center()))
        return screen;
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// What the window manager adds around the window: known once it has been shown; until
// then a title bar is assumed, so that the title stays on the screen.
QMargins frameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    if (frame != inner)
        return { inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom() };
    return { 0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0 };
}

} // namespace

void VeskWindowPlacement::install()
{
    static VeskWindowPlacement *placement = nullptr;
    if (!placement)
        qApp->installEventFilter(placement = new VeskWindowPlacement(qApp));
}

QRect VeskWindowPlacement::placedFrame(QSize frame, const QRect &anchor, const QRect &available)
{
    QRect placed(QPoint(), frame.boundedTo(available.size()));
    placed.moveCenter(anchor.center());
    placed.moveLeft(std::clamp(placed.left(), available.left(), available.left() + available.width() - placed.width()));
    placed.moveTop(std::clamp(placed.top(), available.top(), available.top() + available.height() - placed.height()));
    return placed;
}

// The anchor is the parent's window for a sheet, the screen for a window opening for
// the first time, and the window itself afterwards.
void VeskWindowPlacement::place(QWidget *window)
{
    const QWidget *parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QWidget *front = QApplication::activeWindow();
    const bool placed = window->property(kPlaced).toBool();
    const QScreen *screen = screenOf(parent ? parent : placed || !front || front == window ? window : front);
    const QRect available = screen->availableGeometry();
    QRect anchor = available;
    if (parent && parent->isVisible())
        anchor = parent->frameGeometry();
    else if (!parent && placed)
        anchor = window->frameGeometry();
    const QMargins margins = frameMargins(window);
    window->resize(window->size().boundedTo(available.size().shrunkBy(margins)));
    window->move(placedFrame(window->size().grownBy(margins), anchor, available).topLeft());
    window->setProperty(kPlaced, true);
}

// A window's show event comes before the window system maps it, so it appears in place.
bool VeskWindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && !placesItself(widget)
            && !(widget->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            place(widget);
    }
    return false;
}
