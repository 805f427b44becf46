#include "CliCompletions.h"

#include <QStringList>
#include <QTextStream>

namespace {

QString commandNames()
{
    QStringList names;
    for (const CliOptions::CommandInfo &command : CliOptions::commands())
        names << QString::fromLatin1(command.name);
    return names.join(QLatin1Char(' '));
}

} // namespace

QString CliCompletions::script(const QString &shell)
{
    if (shell == QLatin1String("bash"))
        return bash();
    if (shell == QLatin1String("zsh"))
        return zsh();
    if (shell == QLatin1String("fish"))
        return fish();
    return {};
}

QString CliCompletions::quotedSummary(const char *help, const QString &alsoEscaped)
{
    QString text = QString::fromLatin1(help);
    if (const qsizetype end = text.indexOf(QStringLiteral(". ")); end >= 0)
        text.truncate(end + 1);
    for (const QChar special : alsoEscaped)
        text.replace(special, QStringLiteral("\\") + special);
    return text.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
}

QString CliCompletions::bash()
{
    QString script;
    QTextStream stream(&script);
    stream << "# bash completion for vesk-cli\n_vesk_cli()\n{\n"
           << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} options\n"
           << "    if [[ $COMP_CWORD -eq 1 ]]; then\n"
           << "        COMPREPLY=($(compgen -W '" << commandNames() << " help --help --version' -- \"$cur\"))\n"
           << "        return\n    fi\n    case $prev in\n";
    for (const CliOptions::Option &option : CliOptions::options()) {
        if (!option.valueName)
            continue;
        stream << "        --" << option.name << ") ";
        if (option.choices)
            stream << "COMPREPLY=($(compgen -W '" << option.choices << "' -- \"$cur\")); return ;;\n";
        else if (CliOptions::takesPath(option))
            stream << "COMPREPLY=($(compgen " << (option.valueName == QLatin1String("DIR") ? "-d" : "-f")
                   << " -- \"$cur\")); return ;;\n";
        else
            stream << "return ;;\n";
    }
    stream << "    esac\n    case ${COMP_WORDS[1]} in\n";
    for (const CliOptions::CommandInfo &command : CliOptions::commands()) {
        stream << "        " << command.name << ") options='--help";
        for (const CliOptions::Option &option : CliOptions::optionsOf(command.command))
            stream << " --" << option.name;
        stream << "' ;;\n";
    }
    stream << "        help) COMPREPLY=($(compgen -W '" << commandNames() << "' -- \"$cur\")); return ;;\n"
           << "    esac\n    if [[ $cur == -* ]]; then\n"
           << "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n    else\n"
           << "        COMPREPLY=($(compgen -f -- \"$cur\"))\n    fi\n}\n"
           << "complete -o filenames -F _vesk_cli vesk-cli\n";
    return script;
}

QString CliCompletions::zsh()
{
    QString script;
    QTextStream stream(&script);
    stream << "#compdef vesk-cli\n\n_vesk_cli() {\n    local -a commands\n    commands=(\n";
    for (const CliOptions::CommandInfo &command : CliOptions::commands())
        stream << "        '" << command.name << ':' << quotedSummary(command.summary, QStringLiteral(":")) << "'\n";
    stream << "    )\n    if (( CURRENT == 2 )); then\n        _describe command commands\n        return\n    fi\n"
           << "    shift words\n    (( CURRENT-- ))\n    case $words[1] in\n";
    for (const CliOptions::CommandInfo &command : CliOptions::commands()) {
        stream << "        " << command.name << ")\n            _arguments '(-h --help)'{-h,--help}'[Show this help.]'";
        for (const CliOptions::Option &option : CliOptions::optionsOf(command.command)) {
            stream << " \\\n                '*--" << option.name << (option.valueName ? "=" : "") << '['
                   << quotedSummary(option.help, QStringLiteral("[]")) << ']';
            if (option.valueName)
                stream << ':' << option.valueName << ':'
                       << (option.choices ? QStringLiteral("(%1)").arg(QLatin1String(option.choices))
                                  : CliOptions::takesPath(option) ? QStringLiteral("_files")
                                                                  : QString());
            stream << '\'';
        }
        stream << " \\\n                '*:" << command.arguments << ":_files' ;;\n";
    }
    stream << "        help) _describe command commands ;;\n    esac\n}\n\n_vesk_cli \"$@\"\n";
    return script;
}

QString CliCompletions::fish()
{
    QString script;
    QTextStream stream(&script);
    stream << "# fish completion for vesk-cli\n"
           << "complete -c vesk-cli -n __fish_use_subcommand -a help -d 'Show the help of a command'\n"
           << "complete -c vesk-cli -n 'not __fish_use_subcommand' -s h -l help -d 'Show this help.'\n";
    for (const CliOptions::CommandInfo &command : CliOptions::commands())
        stream << "complete -c vesk-cli -n __fish_use_subcommand -f -a " << command.name << " -d '"
               << quotedSummary(command.summary) << "'\n";
    for (const CliOptions::Option &option : CliOptions::options()) {
        QStringList users;
        for (const CliOptions::CommandInfo &command : CliOptions::commands())
            if (option.commands & command.command)
                users << QString::fromLatin1(command.name);
        stream << "complete -c vesk-cli -n '__fish_seen_subcommand_from " << users.join(QLatin1Char(' ')) << "' -l "
               << option.name;
        if (option.choices)
            stream << " -x -a '" << option.choices << '\'';
        else if (option.valueName)
            stream << (CliOptions::takesPath(option) ? " -r -F" : " -x");
        stream << " -d '" << quotedSummary(option.help) << "'\n";
    }
    return script;
}
