#include "VeskAlertDialogs.h"

#include "base/VeskMainThread.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdlib>
#include <exception>
#include <typeinfo>

void VeskAlertDialogs::install()
{
    VeskAlert::setHandler([](const VeskAlert::Request &request) {
        int answer = VeskAlert::First;
        // A message box belongs to the main thread; callers elsewhere wait for it.
        VeskMainThread::run([&] { answer = run(request); }, true);
        return answer;
    });
}

// Buttons keep the order they were added in; Escape and closing the box answer
// "Cancel" or "No" when there is one, else the first button.
int VeskAlertDialogs::run(const VeskAlert::Request &request)
{
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(QMessageBox::Warning);
    box.setText(request.message);
    box.setInformativeText(request.informativeText);
    std::vector<QAbstractButton *> buttons;
    QAbstractButton *escape = nullptr;
    for (const QString &title : request.buttons) {
        buttons.push_back(box.addButton(title, QMessageBox::ActionRole));
        if (!escape && (title == QLatin1String("Cancel") || title == QLatin1String("No")))
            escape = buttons.back();
    }
    if (buttons.empty())
        buttons.push_back(box.addButton(QMessageBox::Ok));
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.front()));
    box.setEscapeButton(escape ? escape : buttons.front());
    box.exec();
    QAbstractButton *clicked = box.clickedButton() ? box.clickedButton() : box.escapeButton();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (clicked == buttons[i])
            return VeskAlert::First + int(i);
    return VeskAlert::First;
}

namespace {

void onTerminate()
{
    QString name = QStringLiteral("UncaughtException");
    QString reason;
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception &error) {
            name = QString::fromLatin1(typeid(error).name());
            reason = QString::fromUtf8(error.what());
        } catch (...) {
        }
    }
    VeskAlert::ShowDialog_with_errorName(name, reason);
    std::abort();
}

} // namespace

void VeskAlertDialogs::installUncaughtExceptionHandler()
{
    std::set_terminate(onTerminate);
}
