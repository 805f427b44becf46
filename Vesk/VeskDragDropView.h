#pragma once

#include <QWidget>

class QDragMoveEvent;
class QDropEvent;
class VeskAvbOpDelegate;

/// The bin drop zone over the database table. It lies over its area without taking
/// mouse clicks, follows drags that reach the area, and while bins hover over it
/// darkens the area and says which operation a drop starts: a plain drop intersects,
/// with Shift held it adds, with Ctrl held it subtracts. A drop of anything but bin
/// files is refused; so is a drop while Vesk is busy, or of a bin that cannot be read,
/// is not a bin or is damaged, with an alert that says why.
class VeskDragDropView : public QWidget {
    Q_OBJECT
public:
    /// Covers `area` below a free strip of `topStrip` pixels.
    VeskDragDropView(QWidget *area, int topStrip);

    void setAvbOpDelegate(VeskAvbOpDelegate *delegate) { m_avbOpDelegate = delegate; }
    bool isHighlighted() const { return m_isHighlighted; }
    Qt::DropActions currentDragMask() const { return m_currentDragMask; }

    /// The operations a drag offers, narrowed by the keys held: Shift leaves only the
    /// generic (add) operation, Ctrl only the link (subtract) operation.
    static Qt::DropActions dragMask(Qt::DropActions offered, Qt::KeyboardModifiers modifiers);
    /// "show only media used by", "also show…", "hide…" or nothing, by the mask's
    /// first match.
    static QString operationLabel(Qt::DropActions mask);
    /// Whether every path is a bin file (extension "avb" in any case), not a folder.
    static bool areAllBins(const QStringList &paths);
    /// Why the bins cannot be used now, naming the first bad one; empty when they can.
    static QString refusalFor(const QStringList &bins);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void draggingUpdated(QDragMoveEvent *event, bool entered);
    void draggingExited();
    void performDragOperation(QDropEvent *event);
    void setHighlighted(bool highlighted, Qt::DropActions mask);
    void logCallback(const char *name) const;

    QWidget *m_area;
    const int m_topStrip;
    VeskAvbOpDelegate *m_avbOpDelegate = nullptr;
    bool m_isHighlighted = false;
    Qt::DropActions m_currentDragMask;
};
