#include "VeskDragDropView.h"

#include "VeskAvbOpDelegate.h"
#include "VeskSound.h"

#include "base/VeskNSLog.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskStatusViewController.h"
#include "readers/AVBFile.h"
#include "report/VeskAlert.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

VeskDragDropView::VeskDragDropView(QWidget *area, int topStrip)
    : QWidget(area)
    , m_area(area)
    , m_topStrip(topStrip)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    area->setAcceptDrops(true);
    area->installEventFilter(this);
    setGeometry(0, m_topStrip, area->width(), qMax(0, area->height() - m_topStrip));
    raise();
}

Qt::DropActions VeskDragDropView::dragMask(Qt::DropActions offered, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier)
        return Qt::LinkAction;
    if (modifiers & Qt::ShiftModifier)
        return Qt::MoveAction;
    return offered;
}

QString VeskDragDropView::operationLabel(Qt::DropActions mask)
{
    if (mask & Qt::CopyAction)
        return VeskAvbOpDelegate::usedByWords(VeskAvbOpDelegate::Intersect);
    if (mask & Qt::MoveAction)
        return VeskAvbOpDelegate::usedByWords(VeskAvbOpDelegate::Add);
    if (mask & Qt::LinkAction)
        return VeskAvbOpDelegate::usedByWords(VeskAvbOpDelegate::Subtract);
    return {};
}

bool VeskDragDropView::areAllBins(const QStringList &paths)
{
    for (const QString &path : paths)
        if (VeskDirectory::isFolder(path)
            || QFileInfo(path).suffix().compare(QLatin1String("avb"), Qt::CaseInsensitive))
            return false;
    return !paths.isEmpty();
}

void VeskDragDropView::logCallback(const char *name) const
{
    VESK_LOG(QStringLiteral("[%1 %2]").arg(QStringLiteral("VeskDragDropView"), QLatin1String(name)));
}

bool VeskDragDropView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_area)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        setGeometry(0, m_topStrip, m_area->width(), qMax(0, m_area->height() - m_topStrip));
        raise();
        return false;
    case QEvent::DragEnter:
        logCallback("draggingEntered:");
        draggingUpdated(static_cast<QDragMoveEvent *>(event), true);
        return true;
    case QEvent::DragMove:
        logCallback("draggingUpdated:");
        draggingUpdated(static_cast<QDragMoveEvent *>(event), false);
        return true;
    case QEvent::DragLeave:
        logCallback("draggingExited:");
        draggingExited();
        return true;
    case QEvent::Drop:
        logCallback("performDragOperation:");
        performDragOperation(static_cast<QDropEvent *>(event));
        logCallback("concludeDragOperation:");
        setHighlighted(false, {});
        return true;
    default: return false;
    }
}

// File drags are followed over the whole area, and taken only over the zone, not
// over the strip above it.
void VeskDragDropView::draggingUpdated(QDragMoveEvent *event, bool entered)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    if (!geometry().contains(event->position().toPoint())) {
        setHighlighted(false, {});
        if (entered)
            event->accept();
        else
            event->ignore();
        return;
    }
    setHighlighted(true, dragMask(event->possibleActions(), event->modifiers()));
    event->acceptProposedAction();
}

void VeskDragDropView::draggingExited()
{
    setHighlighted(false, {});
}

void VeskDragDropView::performDragOperation(QDropEvent *event)
{
    QStringList bins;
    for (const QUrl &url : event->mimeData()->urls())
        bins.push_back(url.toLocalFile());
    if (!geometry().contains(event->position().toPoint()) || !areAllBins(bins)) {
        VeskSound::pop();
        event->ignore();
        return;
    }
    if (const QString refusal = refusalFor(bins); !refusal.isEmpty()) {
        VESK_LOG(QStringLiteral("Vesk:: Refused %1 bins: %2").arg(bins.size()).arg(refusal));
        VeskSound::pop();
        event->ignore();
        // Shown once the drop has ended, so that the drag's source is not held by the alert.
        QMetaObject::invokeMethod(
            this, [refusal] { VeskAlert::ShowDialog_with_errorName(tr("The bins were not used"), refusal); },
            Qt::QueuedConnection);
        return;
    }
    VESK_LOG(QStringLiteral("Vesk:: Accepted %1 bins").arg(bins.size()));
    const Qt::DropActions mask = dragMask(event->possibleActions(), event->modifiers());
    if (m_avbOpDelegate) {
        if (mask & Qt::CopyAction)
            m_avbOpDelegate->DoAVBIntersect(bins);
        else if (mask & Qt::MoveAction)
            m_avbOpDelegate->DoAVBAdd(bins);
        else if (mask & Qt::LinkAction)
            m_avbOpDelegate->DoAVBSubtract(bins);
    }
    event->acceptProposedAction();
}

// Why the bins cannot be used now: the application is busy, or a bin cannot be read,
// is not a bin or is damaged. Empty when they can.
QString VeskDragDropView::refusalFor(const QStringList &bins)
{
    if (VeskStatusViewController::getTheController()->isRunning())
        return tr("Vesk is busy; drop the bins again when it has finished.");
    for (const QString &path : bins) {
        AVBFile bin;
        if (const AVBFile::Status status = bin.readBin(path); AVBFile::isRefused(status))
            return AVBFile::statusText(status, path);
    }
    return {};
}

void VeskDragDropView::setHighlighted(bool highlighted, Qt::DropActions mask)
{
    if (highlighted == m_isHighlighted && mask == m_currentDragMask)
        return;
    m_isHighlighted = highlighted;
    m_currentDragMask = mask;
    update();
}

void VeskDragDropView::paintEvent(QPaintEvent *)
{
    if (!m_isHighlighted)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, 191));
    QPen dashes(QColor(211, 211, 211, 179), 6, Qt::DashLine, Qt::RoundCap);
    dashes.setDashPattern({ 3, 2 });
    painter.setPen(dashes);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(10, 10, -10, -10), 20, 20);
    painter.setPen(Qt::white);
    QFont title = font();
    title.setBold(true);
    title.setPixelSize(26);
    painter.setFont(title);
    painter.drawText(
        rect(), Qt::AlignCenter, QStringLiteral("\nDrop here one or more Avid's bins\nto scan for referenced media"));
    QFont small = font();
    small.setPixelSize(15);
    painter.setFont(small);
    const QString label = operationLabel(m_currentDragMask);
    if (!label.isEmpty())
        painter.drawText(QRect(30, 30, width() - 60, 24), Qt::AlignLeft | Qt::AlignTop,
            label.at(0).toUpper() + label.mid(1) + tr(" these bins"));
    painter.setPen(QColor(211, 211, 211));
    painter.drawText(rect().adjusted(30, 0, -30, -30), Qt::AlignHCenter | Qt::AlignBottom,
        tr("Drop: show only  ·  Shift: also show  ·  Ctrl: hide"));
}
