#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

/// The application's log: a text that grows from any thread and that the console
/// window follows through `stringAdded`. Appending takes a short lock and never waits
/// for the user interface.
class VeskConsole : public QObject {
    Q_OBJECT
public:
    static VeskConsole *sharedInstance();

    void addString(const QString &text);
    void Reset();
    QString text() const;

Q_SIGNALS:
    /// Emitted on the appending thread; connect with a queued connection from the UI.
    void stringAdded(const QString &text);
    void wasReset();

private:
    VeskConsole();

    mutable QMutex m_lock;
    QString m_text;
};
