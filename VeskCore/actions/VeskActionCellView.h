#pragma once

#include "platform/VeskProgressIndicator.h"

#include <QString>

#include <memory>

class VeskAction;

/// One row of the action queue as the queue sees it: a description, a status word and
/// a progress bar, and the action whose cancel and info buttons it carries. The
/// application implements it over its row widget, tests with fakes. Main thread only.
class VeskActionCellView {
public:
    virtual ~VeskActionCellView() = default;

    virtual void setActionDelegate(std::weak_ptr<VeskAction> action) = 0;
    virtual void setDescription(const QString &text) = 0;
    virtual void setStatusWord(const QString &word) = 0;
    virtual VeskProgressIndicator &ProgressIndicator() = 0;

    /// A row made ready for an action: no action, a determinate bar from 0 to 100, a
    /// blank description and the word "Waiting".
    void reset()
    {
        setActionDelegate({});
        ProgressIndicator().setIndeterminate(false);
        ProgressIndicator().setMaxValue(100);
        ProgressIndicator().setDoubleValue(0);
        setDescription(QStringLiteral(" "));
        setStatusWord(QStringLiteral("Waiting"));
    }
};
