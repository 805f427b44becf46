#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>

#include <cstdint>
#include <vector>

/// What the store needs of a table view: the application implements it over its
/// views, tests with fakes. Calls come on the main thread.
class VeskTableView {
public:
    virtual ~VeskTableView() = default;

    virtual QString identifier() const = 0;
    virtual void reloadData() = 0;
    /// Selected rows in ascending order.
    virtual std::vector<uint64_t> selectedRows() const = 0;
    /// The selected row, or -1.
    virtual int64_t selectedRow() const = 0;
    /// The row last clicked, or -1.
    virtual int64_t clickedRow() const = 0;
    virtual void deselectAll() = 0;

    // Database table only.
    virtual void setLastitem(const VeskItemRef &) { }
    virtual void updatePreviewWith(const VeskItemRef &) { }
};
