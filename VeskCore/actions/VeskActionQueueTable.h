#pragma once

#include <cstdint>

/// The queue panel's table as the action manager drives it. Row n shows the manager's
/// action n, the newest first; the table asks the manager for its rows and hands each
/// row view back through SetCell(). Main thread only.
class VeskActionQueueTable {
public:
    virtual ~VeskActionQueueTable() = default;

    /// A new row 0, the others sliding down.
    virtual void insertRowAtTop() = 0;
    /// The row goes, sliding left.
    virtual void removeRow(uint64_t row) = 0;
    virtual void reloadData() = 0;
    /// Slides the panel into sight or out of it.
    virtual void slide(bool visible) = 0;
};
