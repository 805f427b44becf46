#include "base/VeskConsole.h"

#include <QDebug>

namespace {

// Dropping a tenth more than needed keeps the drops rare.
constexpr qsizetype kLengthAfterDrop = VeskConsole::kMaxLength - VeskConsole::kMaxLength / 10;
constexpr qsizetype kChunkLength = 64 * 1024;
const QString kDroppedLine = QStringLiteral("Vesk :: older console text dropped; the last 8 MB are kept\n");

} // namespace

VeskConsole *VeskConsole::sharedInstance()
{
    static VeskConsole *const instance = new VeskConsole;
    return instance;
}

VeskConsole::VeskConsole()
{
    qInfo().noquote() << QStringLiteral("[%1 %2]").arg(
        QStringLiteral("VeskConsole"), QStringLiteral("Create Console Object"));
}

void VeskConsole::addString(const QString &text)
{
    if (text.isNull())
        return;
    bool dropped = false;
    {
        QMutexLocker locker(&m_lock);
        append(text);
        dropped = m_length > kMaxLength;
        if (dropped)
            dropOldestText();
    }
    Q_EMIT stringAdded(text);
    if (dropped)
        Q_EMIT wasReset();
}

// A chunk is given its full room once, so that appending to it never copies it.
void VeskConsole::append(const QString &text)
{
    if (m_chunks.empty() || m_chunks.back().size() + text.size() > kChunkLength) {
        m_chunks.emplace_back();
        m_chunks.back().reserve(qMax(kChunkLength, text.size()));
    }
    m_chunks.back().append(text);
    m_length += text.size();
}

// Keeps whole lines where it can: the text starts after the first line feed past the cut.
void VeskConsole::dropOldestText()
{
    qsizetype cut = m_length - (kLengthAfterDrop - kDroppedLine.size());
    while (m_chunks.size() > 1 && m_chunks.front().size() <= cut) {
        cut -= m_chunks.front().size();
        m_length -= m_chunks.front().size();
        m_chunks.pop_front();
    }
    QString &front = m_chunks.front();
    const qsizetype lineEnd = front.indexOf(QLatin1Char('\n'), cut);
    if (lineEnd >= 0 && lineEnd + 1 < front.size())
        cut = lineEnd + 1;
    cut = qMin(cut, front.size());
    front.remove(0, cut);
    m_length -= cut;
    m_chunks.push_front(kDroppedLine);
    m_length += kDroppedLine.size();
}

void VeskConsole::Reset()
{
    {
        QMutexLocker locker(&m_lock);
        m_chunks.clear();
        m_length = 0;
        append(QStringLiteral("Vesk\n"));
    }
    Q_EMIT wasReset();
}

QString VeskConsole::text() const
{
    return textFrom(0, nullptr);
}

QString VeskConsole::textFrom(qsizetype position, qsizetype *length) const
{
    QMutexLocker locker(&m_lock);
    if (length)
        *length = m_length;
    QString text;
    text.reserve(qMax<qsizetype>(0, m_length - position));
    qsizetype start = 0;
    for (const QString &chunk : m_chunks) {
        const qsizetype end = start + chunk.size();
        if (end > position)
            text.append(QStringView(chunk).mid(qMax<qsizetype>(0, position - start)));
        start = end;
    }
    return text;
}
