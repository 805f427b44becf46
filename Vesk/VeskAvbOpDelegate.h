#pragma once

#include <QCoreApplication>
#include <QStringList>

/// Carries out the bin reference operations that the drop zone starts.
class VeskAvbOpDelegate {
public:
    enum BinTag { Intersect = 1, Subtract = 2, Add = 3 };

    virtual ~VeskAvbOpDelegate() = default;
    virtual void DoAVBIntersect(const QStringList &bins) = 0;
    virtual void DoAVBSubtract(const QStringList &bins) = 0;
    virtual void DoAVBAdd(const QStringList &bins) = 0;

    /// What an operation does, in the words the menu, the drop zone and the bar of
    /// applied bins share: "show only", "also show" or "hide" media used by bins.
    static QString usedByWords(BinTag tag)
    {
        switch (tag) {
        case Intersect: return QCoreApplication::translate("VeskAvbOpDelegate", "show only media used by");
        case Add: return QCoreApplication::translate("VeskAvbOpDelegate", "also show media used by");
        case Subtract: return QCoreApplication::translate("VeskAvbOpDelegate", "hide media used by");
        }
        return {};
    }
};
