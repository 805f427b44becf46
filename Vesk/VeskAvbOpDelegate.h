#pragma once

#include <QStringList>

/// Carries out the bin reference operations that the drop zone starts.
class VeskAvbOpDelegate {
public:
    virtual ~VeskAvbOpDelegate() = default;
    virtual void DoAVBIntersect(const QStringList &bins) = 0;
    virtual void DoAVBSubtract(const QStringList &bins) = 0;
    virtual void DoAVBAdd(const QStringList &bins) = 0;
};
