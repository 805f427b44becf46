#include "VeskMimePasteboard.h"

#include <QMimeData>
#include <QUrl>

bool VeskMimePasteboard::writeFileURLs(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.push_back(QUrl::fromLocalFile(path));
    m_mime.setUrls(urls);
    return true;
}

bool VeskMimePasteboard::addType(const QString &type)
{
    if (!m_mime.hasFormat(type))
        m_mime.setData(type, {});
    return true;
}

// Plain text goes out both with and without the charset parameter, for receivers that
// only look for one of them.
bool VeskMimePasteboard::setString(const QString &text, const QString &type)
{
    m_mime.setData(type, text.toUtf8());
    if (type.startsWith(QLatin1String("text/plain")))
        m_mime.setText(text);
    return true;
}
