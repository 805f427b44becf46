#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

#include <deque>

/// The application's log: a text that grows from any thread and that the console
/// window follows through `stringAdded`. Appending takes a short lock and never waits
/// for the user interface. The text keeps the most recent `kMaxLength` characters: when
/// it grows past them, the oldest lines drop off and a line at the top says so. The text
/// is kept in chunks, so that appending a line costs the line, however long the text.
class VeskConsole : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxLength = 8 * 1024 * 1024;

    static VeskConsole *sharedInstance();

    void addString(const QString &text);
    void Reset();
    QString text() const;
    /// The text from a position on, and in `length` the whole text's length; for a
    /// reader following the text, which starts over when wasReset is emitted.
    QString textFrom(qsizetype position, qsizetype *length) const;

Q_SIGNALS:
    /// Emitted on the appending thread; connect with a queued connection from the UI.
    void stringAdded(const QString &text);
    /// The text was replaced: cleared, or its oldest lines dropped.
    void wasReset();

private:
    VeskConsole();
    void append(const QString &text);
    void dropOldestText();

    mutable QMutex m_lock;
    std::deque<QString> m_chunks;
    qsizetype m_length = 0;
};
