#pragma once

#include "readers/VeskInspectorRow.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

class VeskOMFI;

/// The texts the inspector shows for a Bento container: one line per TOC entry for the
/// outline, and the full description of an entry (its raw TOC bytes, names, a dump of
/// its value and the value read by its type) for the preview.
class VeskOMFIInspectorText {
public:
    explicit VeskOMFIInspectorText(const VeskOMFI &omfi);

    QString StringForTocIndexItem(uint32_t t) const;
    /// The object's names and mob UID joined, or none.
    std::optional<QString> GetNameForObjectAt(uint32_t t) const;
    /// "{ " and the value's bytes in groups of four, joined by "-", then " }".
    QString getStringForUID(uint32_t t) const;
    QString getExtendedDescriptionFor(const VeskInspectorRow *row) const;
    QString getDescriptionForTOCindex(uint32_t t) const;
    QString hexlifyTOCat(uint32_t t) const;
    /// Each byte as two hex digits, followed by " " or, after every fourth, " | ".
    static QString hexlifyRawBytes(std::span<const uint8_t> bytes);

private:
    QString nameOrHex(uint32_t id) const;
    QString genericText(uint32_t t) const;
    std::optional<QString> stringValue(uint32_t t) const;
    QString valueDump(uint32_t t) const;
    QString typedValue(uint32_t t) const;

    const VeskOMFI &m_omfi;
};
