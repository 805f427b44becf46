#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

/// The commands of vesk-cli and their options, described once: the parser, the help,
/// the manual page and the shell completions are all made from these tables.
class CliOptions {
public:
    enum Command : unsigned {
        Scan = 1,
        Bin = 2,
        Mxf = 4,
        Inspect = 8,
        Copy = 16,
        Move = 32,
        Delete = 64,
        Usage = 256,
        Duplicates = 512,
        Verify = 1024,
        Quarantine = 2048,
        Restore = 4096,
        Purge = 8192,
    };

    struct Option {
        const char *name;
        const char *valueName; // nullptr for a switch
        const char *defaultValue; // nullptr when there is none
        const char *help;
        unsigned commands; // Command bits
        const char *choices = nullptr; // the only values, separated by spaces
    };

    struct Example {
        const char *what;
        const char *line;
    };

    struct CommandInfo {
        Command command;
        const char *name;
        const char *arguments; // positional arguments as the usage line shows them
        const char *summary;
        std::vector<Example> examples;
    };

    static const std::vector<Option> &options();
    static const std::vector<CommandInfo> &commands();
    static std::optional<CommandInfo> command(const QString &name);
    /// The options of one command, in the order the help lists them.
    static std::vector<Option> optionsOf(Command command);
    /// Whether the option's value names a file or folder (for the completions).
    static bool takesPath(const Option &option);

    /// A parser that knows exactly the command's options and -h/--help.
    static void addTo(QCommandLineParser &parser, Command command);
    /// Parses the arguments (the command name first); the exit status when the command
    /// should stop here (wrong usage, or help printed), none to go on.
    static std::optional<int> parse(QCommandLineParser &parser, const QStringList &arguments);
    /// The error on standard error and a pointer to the help; returns the usage status.
    static int usageError(Command command, const QString &message);
};
