#include "report/VeskUtilities.h"

#include <QStringDecoder>

namespace {

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

std::bitset<65536> makeNonPortableSet()
{
    std::bitset<65536> set;
    set.set();
    for (char16_t c = 20; c <= 145; ++c)
        set.reset(c);
    for (char16_t c : u"/\\?%*|\"<>")
        if (c)
            set.set(c);
    return set;
}

} // namespace

std::optional<QString> VeskUtilities::stringByRemovingPercentEncoding(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c != '%') {
            bytes.append(c);
            continue;
        }
        if (utf8.size() - i < 3)
            return std::nullopt;
        const int high = hexValue(char16_t(uchar(utf8[i + 1])));
        const int low = hexValue(char16_t(uchar(utf8[i + 2])));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(char(high * 16 + low));
        i += 2;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return decoded;
}

const std::bitset<65536> &VeskUtilities::getPortableCharacterSet()
{
    static const std::bitset<65536> set = makeNonPortableSet();
    return set;
}

bool VeskUtilities::isPortable(const QString &name)
{
    const std::bitset<65536> &nonPortable = getPortableCharacterSet();
    for (QChar c : name)
        if (nonPortable.test(c.unicode()))
            return false;
    return true;
}
