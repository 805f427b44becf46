#pragma once

#include <QString>
#include <QStringView>

/// Case-insensitive substring search that folds each UTF-16 unit through a table built
/// once, so that searching a million names allocates nothing.
class VeskTextMatcher {
public:
    explicit VeskTextMatcher(const QString &needle);

    qsizetype size() const { return m_needle.size(); }
    bool matches(QStringView haystack) const;

private:
    QString m_needle; // folded
};
