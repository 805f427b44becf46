#pragma once

#include "model/VeskDatabaseItem.h"

#include <vector>

class VeskNameTables;

/// What a scanner needs of the store: somewhere to hand its items from any thread,
/// and the name tables that name an item's compression.
class VeskItemIntake {
public:
    virtual ~VeskItemIntake() = default;

    /// Takes the items in under the store's lock; callable from any thread.
    virtual void addScannedItems(const std::vector<VeskItemRef> &items) = 0;
    virtual const VeskNameTables &nameTables() const = 0;
};
