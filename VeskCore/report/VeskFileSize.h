#pragma once

#include <QString>

/// A byte count with its short human-readable text.
class VeskFileSize {
public:
    /// Powers of 1000: "kB", "MB", "GB"...
    static QString toHumanBytes(double value);
    /// Powers of 1024: "KiB", "MiB", "GiB"...
    static QString toHumanBytes_2(double value);

    explicit VeskFileSize(double size);
    double filesize() const { return m_filesize; }
    const QString &humanBytes() const { return m_humanBytes; }
    const QString &description() const { return m_humanBytes; }

private:
    double m_filesize;
    QString m_humanBytes;
};
