#pragma once

#include "model/VeskPasteboard.h"

class QMimeData;

/// The store's drag pasteboard over the mime data of a drag.
class VeskMimePasteboard : public VeskPasteboard {
public:
    explicit VeskMimePasteboard(QMimeData &mime)
        : m_mime(mime)
    {
    }

    bool writeFileURLs(const QStringList &paths) override;
    bool addType(const QString &type) override;
    bool setString(const QString &text, const QString &type) override;

private:
    QMimeData &m_mime;
};
