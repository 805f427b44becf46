#pragma once

class VeskActionOperation;

/// Told about the run of a file action, on the action's worker thread. Every call is
/// optional: the defaults do nothing.
class VeskActionOperationDelegate {
public:
    virtual ~VeskActionOperationDelegate() = default;
    /// Once, before the work, when the operation has not been cancelled.
    virtual void VeskActionOperationWillStart(VeskActionOperation &) { }
    /// Before each item, after the item count went up, when not cancelled.
    virtual void VeskActionOperationStatusUpdate(VeskActionOperation &) { }
    /// Once, after the work, only when the operation was not cancelled.
    virtual void VeskActionOperationDidFinished(VeskActionOperation &) { }
};
