#pragma once

#include <QElapsedTimer>
#include <QString>

class VeskActionOperation;

/// What a running file action shows: on a terminal a progress line redrawn in place
/// (files, bytes, rate, time left), and its log, streamed as it is written (verbose),
/// printed at the end (normal) or only its errors (quiet).
class ActionProgress {
public:
    enum class Mode { Quiet, Normal, Verbose };

    ActionProgress(const VeskActionOperation &operation, Mode mode, bool onTerminal);
    /// Brings the output up to date; the caller's timer sets how often.
    void update();
    /// Clears the progress line and prints what is left of the log.
    void finish();

private:
    QString progressLine() const;
    void streamLog();
    static QString duration(qint64 seconds);

    const VeskActionOperation &m_operation;
    const Mode m_mode;
    const bool m_showProgress;
    QElapsedTimer m_started;
    qsizetype m_logPrinted = 0;
};
