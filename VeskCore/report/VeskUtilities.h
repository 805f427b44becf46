#pragma once

#include <QString>

#include <bitset>
#include <optional>

class VeskUtilities {
public:
    /// Decodes every "%XX" escape once and reads the bytes as UTF-8. A percent sign
    /// without two hexadecimal digits after it, or bytes that are not UTF-8, give none.
    static std::optional<QString> stringByRemovingPercentEncoding(const QString &text);

    /// The UTF-16 code units a portable file name must not hold: everything outside
    /// 20...145, and / \ ? % * | " < > inside it. Built once, shared by all threads.
    static const std::bitset<65536> &getPortableCharacterSet();

    /// True when no code unit of the name is in the non-portable set.
    static bool isPortable(const QString &name);
};
