#pragma once

#include <QByteArray>
#include <QString>

/// The C4 id of a byte string, as ASC MHL chains name their manifests: the SHA-512 of
/// the bytes read as one big-endian number, written in base 58 (digits
/// "123456789ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz"), left-padded with the
/// zero digit "1" to 88 digits, after "c4": 90 characters.
class VeskC4Id {
public:
    static QString of(const QByteArray &bytes);
};
