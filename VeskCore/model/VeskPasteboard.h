#pragma once

#include <QString>
#include <QStringList>

/// The drag pasteboard as the store writes it; each write reports success.
class VeskPasteboard {
public:
    virtual ~VeskPasteboard() = default;
    virtual bool writeFileURLs(const QStringList &paths) = 0;
    virtual bool addType(const QString &type) = 0;
    virtual bool setString(const QString &text, const QString &type) = 0;
};
