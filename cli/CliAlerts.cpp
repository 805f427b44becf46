#include "CliAlerts.h"

#include "CliIO.h"

#include <cstdio>
#include <unistd.h>

namespace {

const QString kOverwriteQuestion = QStringLiteral("File exists at destination.\nOverwrite?");

int button(const VeskAlert::Request &request, const QString &title)
{
    const qsizetype index = request.buttons.indexOf(title);
    return index < 0 ? -1 : VeskAlert::First + int(index);
}

} // namespace

VeskAlert::Handler CliAlerts::handler(Overwrite overwrite)
{
    return [overwrite](const VeskAlert::Request &request) { return answer(request, overwrite); };
}

int CliAlerts::answer(const VeskAlert::Request &request, Overwrite overwrite)
{
    const bool isError = request.buttons.size() == 1 || request.buttons.contains(QStringLiteral("Do NotShow Again"));
    if (isError) {
        CliIO::error(QStringLiteral("%1 (%2)").arg(request.message.simplified(), request.informativeText));
        return VeskAlert::First;
    }
    if (request.message == kOverwriteQuestion && overwrite == Overwrite::Yes)
        return button(request, QStringLiteral("Yes to All"));
    if (overwrite == Overwrite::Ask && isatty(STDIN_FILENO) == 1)
        return askTerminal(request);
    return refusal(request);
}

// "No" where there is one, else the last button ("Cancel").
int CliAlerts::refusal(const VeskAlert::Request &request)
{
    const int no = button(request, QStringLiteral("No"));
    return no >= 0 ? no : VeskAlert::First + int(request.buttons.size()) - 1;
}

int CliAlerts::askTerminal(const VeskAlert::Request &request)
{
    QStringList choices;
    for (qsizetype i = 0; i < request.buttons.size(); ++i)
        choices << QStringLiteral("[%1] %2").arg(i + 1).arg(request.buttons[i]);
    for (;;) {
        CliIO::err() << request.message.simplified() << "\n  " << request.informativeText << "\n  "
                     << choices.join(QLatin1Char(' ')) << ": " << Qt::flush;
        char line[256];
        if (!std::fgets(line, sizeof line, stdin))
            return refusal(request);
        const QString reply = QString::fromLocal8Bit(line).trimmed();
        bool isNumber = false;
        const int number = reply.toInt(&isNumber);
        if (isNumber && number >= 1 && number <= request.buttons.size())
            return VeskAlert::First + number - 1;
        for (qsizetype i = 0; i < request.buttons.size(); ++i)
            if (reply.compare(request.buttons[i], Qt::CaseInsensitive) == 0)
                return VeskAlert::First + int(i);
    }
}
