#include "base/VeskConsole.h"

#include <QDebug>

namespace {

// Dropping a tenth more than needed keeps the drops, each a copy of the text, rare.
constexpr qsizetype kLengthAfterDrop = VeskConsole::kMaxLength - VeskConsole::kMaxLength / 10;
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
        m_text += text;
        dropped = m_text.size() > kMaxLength;
        if (dropped)
            dropOldestText();
    }
    Q_EMIT stringAdded(text);
    if (dropped)
        Q_EMIT wasReset();
}

// Keeps whole lines where it can: the text starts after the first line feed past the cut.
void VeskConsole::dropOldestText()
{
    qsizetype cut = m_text.size() - (kLengthAfterDrop - kDroppedLine.size());
    const qsizetype lineEnd = m_text.indexOf(QLatin1Char('\n'), cut);
    if (lineEnd >= 0 && lineEnd + 1 < m_text.size())
        cut = lineEnd + 1;
    QString kept;
    kept.reserve(m_text.size() - cut + kDroppedLine.size());
    kept.append(kDroppedLine);
    kept.append(QStringView(m_text).mid(cut));
    m_text = std::move(kept);
}

void VeskConsole::Reset()
{
    {
        QMutexLocker locker(&m_lock);
        m_text = QStringLiteral("Vesk\n");
    }
    Q_EMIT wasReset();
}

QString VeskConsole::text() const
{
    QMutexLocker locker(&m_lock);
    return m_text;
}
