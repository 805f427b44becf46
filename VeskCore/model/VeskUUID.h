#pragma once

#include <QtEndian>

#include <array>
#include <cstdint>
#include <cstring>

/// A four-character code as stored: four bytes, or one little-endian word.
struct VeskOctet {
    std::array<uint8_t, 4> UMIDx {};

    uint32_t UMIDx32t() const { return qFromLittleEndian<uint32_t>(UMIDx.data()); }
    void setUMIDx32t(uint32_t word) { qToLittleEndian(word, UMIDx.data()); }
    bool operator==(const VeskOctet &) const = default;
};

/// UID storage: a 32-byte SMPTE UMID, or an 8-byte Avid UID placed in bytes 16 to 23.
struct VeskUUID {
    std::array<uint8_t, 32> UMIDx {};

    /// Word i (0 to 7) as an unsigned little-endian 32-bit value.
    uint32_t word(int i) const { return qFromLittleEndian<uint32_t>(UMIDx.data() + 4 * i); }
    bool isZero() const { return UMIDx == std::array<uint8_t, 32> {}; }
    bool operator==(const VeskUUID &) const = default;
};

/// An edit or sample rate, kept as stored.
struct VeskRate {
    uint32_t numerator = 0;
    uint32_t denominator = 0;
    bool operator==(const VeskRate &) const = default;
};
