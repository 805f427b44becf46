#pragma once

#include "VeskAvbOpDelegate.h"

#include <QFrame>

#include <vector>

class QLabel;
class QPushButton;

/// The bar above the database table while bins shape the shown list: it names the
/// operations and their bins in order ("Hiding media used by: Bin 1, Bin 2"), says when
/// the filter was reset under them, and offers Clear. Hidden while no bins apply.
class VeskAppliedBinsBar : public QFrame {
    Q_OBJECT
public:
    explicit VeskAppliedBinsBar(QWidget *parent = nullptr);

    /// Records an operation that has changed the shown list: showing only the bins'
    /// media starts afresh, the other two follow what was applied before.
    void apply(VeskAvbOpDelegate::BinTag tag, const QStringList &bins);
    /// The filter was reset while the bins stay applied.
    void filterWasReset();
    /// No bins apply any more.
    void clear();

    QString text() const;
    QPushButton *clearButton() const { return m_clear; }

Q_SIGNALS:
    /// The user asks for the list without the bins.
    void clearRequested();

private:
    struct Step {
        VeskAvbOpDelegate::BinTag tag;
        QStringList names;
    };
    static QString stepText(const Step &step);
    void update();

    std::vector<Step> m_steps;
    bool m_filterReset = false;
    QLabel *m_text = nullptr;
    QPushButton *m_clear = nullptr;
};
