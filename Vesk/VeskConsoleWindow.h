#pragma once

#include <QPlainTextEdit>
#include <QWidget>

#include <atomic>

class VeskConsole;

/// The console window: the application's log in a fixed-pitch font, following the
/// text as it grows. While hidden it does no work; when shown it loads the whole log,
/// and then appends what arrives, gathered once per turn of the event loop.
class VeskConsoleWindow : public QWidget {
    Q_OBJECT
public:
    explicit VeskConsoleWindow(QWidget *parent = nullptr);

    QPlainTextEdit *theLog() const { return m_log; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void scheduleAppend();
    void appendNewText();
    void reloadAll();
    void scrollToEnd();

    VeskConsole *m_console;
    QPlainTextEdit *m_log;
    qsizetype m_shownLength = 0;
    std::atomic<bool> m_pending { false };
};
