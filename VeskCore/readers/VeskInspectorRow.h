#pragma once

#include <QString>

#include <cstdint>
#include <memory>

/// One row of the inspector's outline: level 0 for the top row, level 1 for a TOC
/// entry, whose index is then the TOC index. A reader hands out each (level, index)
/// row once and returns the same object when asked again, so a view may keep the
/// address as the row's identity for as long as the reader lives.
struct VeskInspectorRow {
    uint32_t level = 0;
    uint32_t index = 0;
    bool expandable = false;
    QString name;
};

using VeskInspectorRowRef = std::shared_ptr<const VeskInspectorRow>;
