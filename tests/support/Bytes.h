#pragma once

#include <QByteArray>
#include <QtEndian>

/// The bytes of a number in the byte order a file stores it in.
template <typename T> QByteArray bytesOfNumber(T value, bool bigEndian = false)
{
    QByteArray bytes(sizeof(T), '\0');
    if (bigEndian)
        qToBigEndian(value, bytes.data());
    else
        qToLittleEndian(value, bytes.data());
    return bytes;
}
