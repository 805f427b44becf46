#include "report/VeskFileSize.h"

#include <array>

namespace {

using Units = std::array<const char *, 9>;
constexpr Units kDecimalUnits = { "bytes", "kB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB" };
constexpr Units kBinaryUnits = { "bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB", "ZiB", "YiB" };

// The loop runs only while the value is above the base, so an exact power keeps the
// lower unit ("1000.00 bytes"); sizes that fit in 64 bits never pass "EB".
QString humanText(double value, double base, const Units &units)
{
    if (value == 0)
        return QStringLiteral("0 byte");
    if (value == 1)
        return QStringLiteral("1 byte");
    if (value < base)
        return QString::asprintf("%4.0f %s", value, units[0]);
    size_t i = 0;
    while (value > base && i + 1 < units.size()) {
        value /= base; // exact for 1024, a power of two
        ++i;
    }
    return QString::asprintf("%4.2f %s", value, units[i]);
}

} // namespace

QString VeskFileSize::toHumanBytes(double value)
{
    return humanText(value, 1000.0, kDecimalUnits);
}

QString VeskFileSize::toHumanBytes_2(double value)
{
    return humanText(value, 1024.0, kBinaryUnits);
}

VeskFileSize::VeskFileSize(double size)
    : m_filesize(size)
    , m_humanBytes(toHumanBytes(size))
{
}
