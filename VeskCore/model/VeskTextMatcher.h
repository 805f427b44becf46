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

    /// The case-folded form of one UTF-16 unit.
    static char16_t fold(char16_t unit);
    /// Three-way comparison of the folded forms of two texts, without building them.
    static int compareFolded(QStringView a, QStringView b);

private:
    QString m_needle; // folded
};
