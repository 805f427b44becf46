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

/// Sets the writer's field and returns the writer: the body of the writers' one-line setters.
template <typename Writer, typename Field, typename Value>
Writer &setField(Writer &writer, Field &field, const Value &value)
{
    field = value;
    return writer;
}
