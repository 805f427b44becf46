#include "report/VeskConsole.h"

#include <QDebug>

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
    {
        QMutexLocker locker(&m_lock);
        m_text += text;
    }
    Q_EMIT stringAdded(text);
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
