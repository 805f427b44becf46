#include "model/VeskTextMatcher.h"

#include <algorithm>
#include <array>

namespace {

const std::array<char16_t, 65536> &foldTable()
{
    static const std::array<char16_t, 65536> table = [] {
        std::array<char16_t, 65536> folded {};
        for (uint32_t c = 0; c < folded.size(); ++c)
            folded[c] = QChar(char16_t(c)).toCaseFolded().unicode();
        return folded;
    }();
    return table;
}

} // namespace

VeskTextMatcher::VeskTextMatcher(const QString &needle)
{
    const std::array<char16_t, 65536> &fold = foldTable();
    m_needle.resize(needle.size());
    for (qsizetype i = 0; i < needle.size(); ++i)
        m_needle[i] = QChar(fold[needle[i].unicode()]);
}

bool VeskTextMatcher::matches(QStringView haystack) const
{
    const qsizetype n = m_needle.size();
    if (n == 0)
        return true;
    const std::array<char16_t, 65536> &fold = foldTable();
    const char16_t *needle = reinterpret_cast<const char16_t *>(m_needle.constData());
    const char16_t *text = reinterpret_cast<const char16_t *>(haystack.data());
    for (qsizetype start = 0; start + n <= haystack.size(); ++start) {
        if (fold[text[start]] != needle[0])
            continue;
        qsizetype j = 1;
        while (j < n && fold[text[start + j]] == needle[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
}

char16_t VeskTextMatcher::fold(char16_t unit)
{
    return foldTable()[unit];
}

int VeskTextMatcher::compareFolded(QStringView a, QStringView b)
{
    const std::array<char16_t, 65536> &table = foldTable();
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = table[a[i].unicode()];
        const char16_t y = table[b[i].unicode()];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
