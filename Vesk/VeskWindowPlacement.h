#pragma once

#include <QObject>
#include <QRect>

class QWidget;

/// Puts every window and sheet of the application fully on a screen as it is shown:
/// a window with a parent (a sheet, a dialog) centred on its parent's window, every
/// time, on the parent's screen; a window of its own centred on the screen of the
/// window in front when it first opens, and afterwards kept where the user left it
/// as long as it stays on its screen. A window larger than the screen is made smaller.
class VeskWindowPlacement : public QObject {
    Q_OBJECT
public:
    /// Watches the windows of the application from now on.
    static void install();
    /// The frame of a window of the size, centred on `anchor` and moved (and shrunk when
    /// larger) into `available`.
    static QRect placedFrame(QSize frame, const QRect &anchor, const QRect &available);
    /// Places the window as it would be placed when shown.
    static void place(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
