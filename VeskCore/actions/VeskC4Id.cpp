#include "actions/VeskC4Id.h"

#include <QCryptographicHash>

#include <algorithm>

namespace {

constexpr char kDigits[] = "123456789ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz";
constexpr int kBase = 58;
constexpr qsizetype kLength = 88;

} // namespace

QString VeskC4Id::of(const QByteArray &bytes)
{
    QByteArray number = QCryptographicHash::hash(bytes, QCryptographicHash::Sha512);
    QByteArray digits;
    // Long division of the 64-byte number by 58, least significant digit first.
    while (std::any_of(number.cbegin(), number.cend(), [](char byte) { return byte != 0; })) {
        unsigned remainder = 0;
        for (char &byte : number) {
            const unsigned value = remainder * 256 + uint8_t(byte);
            byte = char(value / kBase);
            remainder = value % kBase;
        }
        digits.prepend(kDigits[remainder]);
    }
    return QStringLiteral("c4") + QString::fromLatin1(QByteArray(kLength - digits.size(), '1') + digits);
}
