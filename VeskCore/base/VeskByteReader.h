#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

/// Bounds-checked loads from a byte buffer. Every load names its byte order; offsets
/// are 64-bit and checked before any byte is touched, so a length or offset taken
/// from a file can never read outside the buffer.
class VeskByteReader {
public:
    VeskByteReader() = default;
    explicit VeskByteReader(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {
    }
    explicit VeskByteReader(const QByteArray &bytes)
        : m_bytes(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()))
    {
    }

    uint64_t size() const { return m_bytes.size(); }
    const uint8_t *data() const { return m_bytes.data(); }

    /// True when n bytes starting at offset lie inside the buffer.
    bool fits(uint64_t offset, uint64_t n) const { return offset <= size() && size() - offset >= n; }

    /// The n bytes at offset, or an empty span when they do not fit.
    std::span<const uint8_t> bytes(uint64_t offset, uint64_t n) const
    {
        if (!fits(offset, n))
            return {};
        return m_bytes.subspan(size_t(offset), size_t(n));
    }

    template <typename T> std::optional<T> readLE(uint64_t offset) const { return read<T>(offset, false); }
    template <typename T> std::optional<T> readBE(uint64_t offset) const { return read<T>(offset, true); }

    /// Reads in the file's order: big-endian when `bigEndian`, else little-endian.
    template <typename T> std::optional<T> read(uint64_t offset, bool bigEndian) const
    {
        if (!fits(offset, sizeof(T)))
            return std::nullopt;
        T value;
        std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
        return bigEndian ? qFromBigEndian(value) : qFromLittleEndian(value);
    }

private:
    std::span<const uint8_t> m_bytes;
};
