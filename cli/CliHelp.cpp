#include "CliHelp.h"

#include "CliRows.h"

#include "model/VeskColumns.h"

#include <QRegularExpression>
#include <QTextStream>

#include <string_view>

namespace {

constexpr int kWidth = 80;
constexpr int kTermWidth = 26;

struct ExitStatus {
    int status;
    const char *meaning;
};

const ExitStatus kExitStatuses[] = {
    { 0, "success" },
    { 1, "some item failed, a file could not be read, or the confirmation was declined" },
    { 2, "wrong usage (nothing was changed)" },
    { 3, "nothing matched, when --fail-empty is given" },
    { 130, "interrupted" },
};

const char *const kProgramSummary
    = "Lists the media files of Avid media folders, finds the media that no bin uses, and copies, moves or "
      "deletes media.";

} // namespace

QString CliHelp::usageLine(const CliOptions::CommandInfo &command)
{
    return QStringLiteral("vesk-cli %1 [options] %2")
        .arg(QLatin1String(command.name), QLatin1String(command.arguments));
}

QString CliHelp::optionTerm(const CliOptions::Option &option)
{
    QString term = QStringLiteral("--") + QLatin1String(option.name);
    if (option.valueName)
        term += QLatin1Char(' ') + QLatin1String(option.valueName);
    return term;
}

QString CliHelp::optionText(const CliOptions::Option &option)
{
    QString text = QString::fromLatin1(option.help);
    if (option.defaultValue)
        text += QStringLiteral(" Default: %1.").arg(QLatin1String(option.defaultValue));
    return text;
}

QStringList CliHelp::namesText(const CliOptions::CommandInfo &command)
{
    QStringList paragraphs;
    for (const CliOptions::Option &option : CliOptions::optionsOf(command.command)) {
        if (option.name == std::string_view("columns"))
            paragraphs << QStringLiteral("Fields for --columns: %1.")
                              .arg(CliRows::mediaFieldNames().join(QStringLiteral(", ")))
                    + (command.command == CliOptions::Scan
                            ? QStringLiteral(" With --summary: %1.")
                                  .arg(CliRows::summaryFieldNames().join(QStringLiteral(", ")))
                            : QString());
        if (option.name == std::string_view("sort"))
            paragraphs << QStringLiteral("Sort keys: %1.").arg(VeskColumns::sortKeyNames().join(QStringLiteral(", ")));
    }
    return paragraphs;
}

// The words of the text in lines no wider than the width, each after the indent.
QString CliHelp::wrapped(const QString &text, int indent, int width)
{
    QString lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
            lines += QString(indent, QLatin1Char(' ')) + line + QLatin1Char('\n');
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return lines + QString(indent, QLatin1Char(' ')) + line + QLatin1Char('\n');
}

QString CliHelp::commandHelp(const CliOptions::CommandInfo &command)
{
    QString help;
    QTextStream stream(&help);
    stream << "Usage: " << usageLine(command) << '\n' << command.summary << "\n\nOptions:\n";
    const QString helpTerm = QStringLiteral("  -h, --help");
    stream << helpTerm.leftJustified(kTermWidth) << "Show this help.\n";
    for (const CliOptions::Option &option : CliOptions::optionsOf(command.command)) {
        const QString term = QStringLiteral("  ") + optionTerm(option);
        const QString text = wrapped(optionText(option), kTermWidth, kWidth).mid(kTermWidth);
        stream << (term.size() < kTermWidth ? term.leftJustified(kTermWidth)
                                            : term + QLatin1Char('\n') + QString(kTermWidth, QLatin1Char(' ')))
               << text;
    }
    for (const QString &paragraph : namesText(command))
        stream << '\n' << wrapped(paragraph, 0, kWidth);
    stream << "\nExamples:\n";
    for (const CliOptions::Example &example : command.examples)
        stream << "  # " << example.what << ":\n  " << example.line << '\n';
    return help;
}

QString CliHelp::programHelp()
{
    QString help;
    QTextStream stream(&help);
    stream << "Usage: vesk-cli COMMAND [options] ARGUMENTS...\n"
           << "       vesk-cli help [COMMAND] | --help | --version\n\n"
           << wrapped(QString::fromLatin1(kProgramSummary), 0, kWidth) << "\nCommands:\n";
    for (const CliOptions::CommandInfo &command : CliOptions::commands())
        stream << "  " << QString::fromLatin1(command.name).leftJustified(12) << command.summary << '\n';
    stream << "\nRun 'vesk-cli help COMMAND' or 'vesk-cli COMMAND --help' for its options and examples.\n"
           << "\nExit status:\n";
    for (const ExitStatus &exit : kExitStatuses)
        stream << "  " << QString::number(exit.status).leftJustified(5) << exit.meaning << '\n';
    return help;
}

// Text for the man macros: backslashes and minus signs escaped, no line starting with
// a control character.
QString CliHelp::roff(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\e")).replace(QLatin1Char('-'), QStringLiteral("\\-"));
    escaped.replace(
        QRegularExpression(QStringLiteral("^([.'])"), QRegularExpression::MultilineOption), QStringLiteral("\\&\\1"));
    return escaped;
}

QString CliHelp::manPage()
{
    QString page;
    QTextStream stream(&page);
    stream << ".TH VESK\\-CLI 1 \"\" \"vesk-cli " << VESK_VERSION << "\" \"User Commands\"\n"
           << ".SH NAME\nvesk\\-cli \\- keep Avid media folders in order from the command line\n"
           << ".SH SYNOPSIS\n.B vesk\\-cli\n.I COMMAND\n[options] ARGUMENTS...\n"
           << ".SH DESCRIPTION\n"
           << roff(QString::fromLatin1(kProgramSummary)) << '\n';
    for (const CliOptions::CommandInfo &command : CliOptions::commands()) {
        stream << ".SH \"" << QString::fromLatin1(command.name).toUpper() << "\"\n"
               << ".B " << roff(usageLine(command)) << "\n.PP\n"
               << roff(QString::fromLatin1(command.summary)) << '\n'
               << ".TP\n.BR \\-h \", \" \\-\\-help\nShow this help.\n";
        for (const CliOptions::Option &option : CliOptions::optionsOf(command.command))
            stream << ".TP\n.B " << roff(optionTerm(option)) << '\n' << roff(optionText(option)) << '\n';
        for (const QString &paragraph : namesText(command))
            stream << ".PP\n" << roff(paragraph) << '\n';
        stream << ".PP\nExamples:\n";
        for (const CliOptions::Example &example : command.examples)
            stream << ".PP\n"
                   << roff(QString::fromLatin1(example.what)) << ":\n.RS\n.nf\n"
                   << roff(QString::fromLatin1(example.line)) << "\n.fi\n.RE\n";
    }
    stream << ".SH \"EXIT STATUS\"\n";
    for (const ExitStatus &exit : kExitStatuses)
        stream << ".TP\n.B " << exit.status << '\n' << roff(QString::fromLatin1(exit.meaning)) << '\n';
    return page;
}
