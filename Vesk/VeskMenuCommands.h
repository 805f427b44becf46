#pragma once

/// The window commands the menu bar offers, besides the scan commands.
class VeskMenuCommands {
public:
    virtual ~VeskMenuCommands() = default;

    virtual void ClearDatabase() = 0;
    virtual void ShowPreferences() = 0;
    virtual void ShowFilter() = 0;
    virtual void ResetFilter() = 0;
    /// Brings the database window forward with its search field focused.
    virtual void focusSearch() = 0;
    virtual void ShowProjectsSummary() = 0;
    virtual void ShowMainWindow() = 0;
    virtual void ShowDatabase() = 0;
    virtual void showConsole() = 0;
};
