#pragma once

#include <QString>
#include <QStringList>

#include <functional>

/// Modal questions and error messages. The answers are the numbers of the buttons in the
/// order they were added: 1000 for the first, 1001 for the second, 1002 for the third.
/// The alert itself is shown by an installed handler: message boxes in the application,
/// answers from flags on the command line, scripted answers in tests.
class VeskAlert {
public:
    enum Answer { First = 1000, Second = 1001, Third = 1002 };

    struct Request {
        QString message;
        QString informativeText;
        QStringList buttons;
    };
    using Handler = std::function<int(const Request &)>;

    /// Installs the handler and returns the previous one. Without a handler every alert
    /// is logged and answered with its first button.
    static Handler setHandler(Handler handler);

    /// "OK"; the process ends after the answer.
    [[noreturn]] static void ShowDialogAndExit_with_errorName(const QString &message, const QString &info);
    /// "OK". Safe from any thread: the alert runs on the main thread and is waited for.
    static void ShowDialog_with_errorName(const QString &message, const QString &info);
    /// "OK" (1000), "Cancel" (1001).
    static int ShowDialog_with_YesNo(const QString &message, const QString &info);
    /// "No" (1000), "Yes" (1001), "Yes to All" (1002).
    static int ShowDialog_with_NoYesYesToAll(const QString &message, const QString &info);
    /// "Ok", "Do NotShow Again"; true only for "Ok".
    static bool ShowDialog_with_OkDoNotShowAgain(const QString &message, const QString &info);
    /// The given buttons, answered 1000, 1001, 1002... in their order. Main thread only.
    static int ShowDialog_with_Buttons(const QString &message, const QString &info, const QStringList &buttons);

private:
    static int ask(const QString &message, const QString &info, const QStringList &buttons);
};
