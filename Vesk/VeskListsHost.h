#pragma once

class VeskCore;
class VeskDatabaseTableview;

/// What the filter sheet and the preferences need from the windows: the store, the
/// database table, and the way back to the default lists.
class VeskListsHost {
public:
    virtual ~VeskListsHost() = default;

    virtual VeskCore &vsk() const = 0;
    virtual VeskDatabaseTableview *databaseTable() const = 0;
    /// Empties the search field, rebuilds the default lists and sort, and reloads
    /// every table.
    virtual void showDefaultLists() = 0;
    /// Empties the search field, shows every project and resets the filter's flags,
    /// keeping the bins applied, and reloads every table.
    virtual void showUnfilteredLists() = 0;
};
