#pragma once

/// A progress wheel or bar that background work drives: the status area's wheels in
/// the application, nothing on the command line.
class VeskProgressIndicator {
public:
    virtual ~VeskProgressIndicator() = default;
    /// Whether calls from any thread are safe as they are; callers on other threads
    /// hand the calls of any other indicator to the main thread.
    virtual bool takesCallsFromAnyThread() const { return false; }
    virtual void setIndeterminate(bool indeterminate) = 0;
    virtual void setDoubleValue(double value) = 0;
    virtual void setMaxValue(double maximum) = 0;
    virtual void startAnimation() = 0;
    virtual void stopAnimation() = 0;
    virtual void displayIfNeeded() = 0;
};
