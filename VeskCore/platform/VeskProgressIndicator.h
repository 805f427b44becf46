#pragma once

/// A progress wheel or bar that background work drives: the status area's wheels in
/// the application, nothing on the command line. Calls may come from any thread; an
/// implementation hands them to its own thread.
class VeskProgressIndicator {
public:
    virtual ~VeskProgressIndicator() = default;
    virtual void setIndeterminate(bool indeterminate) = 0;
    virtual void setDoubleValue(double value) = 0;
    virtual void setMaxValue(double maximum) = 0;
    virtual void startAnimation() = 0;
    virtual void stopAnimation() = 0;
    virtual void displayIfNeeded() = 0;
};
