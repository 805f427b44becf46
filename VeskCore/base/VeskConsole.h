#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

/// The application's log: a text that grows from any thread and that the console
/// window follows through `stringAdded`. Appending takes a short lock and never waits
/// for the user interface. The text keeps the most recent `kMaxLength` characters: when
/// it grows past them, the oldest lines drop off and a line at the top says so.
class VeskConsole : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxLength = 8 * 1024 * 1024;

    static VeskConsole *sharedInstance();

    void addString(const QString &text);
    void Reset();
    QString text() const;

Q_SIGNALS:
    /// Emitted on the appending thread; connect with a queued connection from the UI.
    void stringAdded(const QString &text);
    /// The text was replaced: cleared, or its oldest lines dropped.
    void wasReset();

private:
    VeskConsole();
    void dropOldestText();

    mutable QMutex m_lock;
    QString m_text;
};
