#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

/// Text decodings used by Bento containers: 7-bit ASCII and UTF-8, which can fail,
/// and Mac OS Roman, which maps every byte. Decoding keeps every byte, zeros included.
class VeskBentoText {
public:
    static std::optional<QString> ascii(std::span<const uint8_t> bytes);
    static std::optional<QString> utf8(std::span<const uint8_t> bytes);
    static QString macRoman(std::span<const uint8_t> bytes);
    /// ASCII for little-endian containers, Mac OS Roman for the others.
    static std::optional<QString> platformText(std::span<const uint8_t> bytes, bool isII);
    /// The text without the zero characters at either end.
    static QString trimZeros(const QString &text);
};
