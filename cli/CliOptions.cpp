#include "CliOptions.h"

#include "CliHelp.h"
#include "CliIO.h"

namespace {

constexpr unsigned kActions = CliOptions::Copy | CliOptions::Move | CliOptions::Delete | CliOptions::Quarantine;
constexpr unsigned kMedia = CliOptions::Scan | CliOptions::Usage | CliOptions::Duplicates | kActions;
constexpr unsigned kConfirmed = CliOptions::Move | CliOptions::Delete | CliOptions::Quarantine | CliOptions::Purge;

const char *const kBinHelp = "Give one bin (.avb) per option, or a folder for every bin in it; repeat the option "
                             "for more. Bin options apply in the order given.";

} // namespace

// clang-format off
const std::vector<CliOptions::Option> &CliOptions::options()
{
    static const std::vector<Option> table = {
        { "volume", nullptr, nullptr, "Each PATH is a volume: scan its Avid MediaFiles/MXF, MXF/MXF and "
            "OMFI MediaFiles folders.", kMedia },
        { "unused", nullptr, nullptr, "Only media that no bin under the --bins-from folders uses. Unlike "
            "--unreferenced, this reads the bins themselves.", kMedia },
        { "bins-from", "DIR", nullptr, "With --unused: a folder searched recursively for bins, such as a "
            "project's folder or an Avid Projects folder holding many projects (repeatable).", kMedia },
        { "bins", "BIN", nullptr, "A bin (.avb) to report on, or a folder whose bins count together "
            "(repeatable).", Usage },
        { "intersect", "BIN", nullptr, "Keep only the media this bin uses.", kMedia },
        { "subtract", "BIN", nullptr, "Leave out the media this bin uses.", kMedia },
        { "add", "BIN", nullptr, "Add back the media this bin uses.", kMedia },
        { "allow-empty-bins", nullptr, nullptr, "Act even when a bin, or a bin folder, holds no media "
            "references (such a bin protects nothing).", kActions },
        { "precomputes", nullptr, nullptr, "Only precompute media.", kMedia },
        { "imported", nullptr, nullptr, "Only imported media.", kMedia },
        { "audio", nullptr, nullptr, "Only audio media.", kMedia },
        { "non-portable", nullptr, nullptr, "Only media whose file names do not travel between systems.",
            kMedia },
        { "bad-umid", nullptr, nullptr, "Only media with a damaged UMID.", kMedia },
        { "unreferenced", nullptr, nullptr, "Only media the media index itself marks unreferenced. This is "
            "the index's flag, not \"no bin uses it\": for that, see --unused.", kMedia },
        { "search", "TEXT", nullptr, "Only rows containing TEXT.", kMedia },
        { "project", "NAME", nullptr, "Only the media of project NAME (repeatable).", kMedia },
        { "sort", "KEY", nullptr, "Sort by KEY, or KEY:desc for descending; up to three times.", kMedia },
        { "no-mdb", nullptr, nullptr, "Do not read the media databases.", kMedia },
        { "no-mxf", nullptr, nullptr, "Do not open the MXF files.", kMedia },
        { "show-missing", nullptr, nullptr, "Also list media whose file is missing.", kMedia },
        { "fail-empty", nullptr, nullptr, "Exit with status 3 when no row is left.", kMedia },
        { "paths-from", "FILE", nullptr, "Only the media whose paths FILE lists (- for standard input): one path "
            "per line, or rows as --format json prints them, such as those of duplicates --extras.", kMedia },
        { "format", "FORMAT", nullptr, "table (the default on a terminal), csv (semicolons; the default "
            "otherwise), csv-comma, html or json (JSON Lines).", Scan, "table csv csv-comma html json" },
        { "format", "FORMAT", nullptr, "table (the default on a terminal), csv (semicolons, one row per copy; "
            "the default otherwise), csv-comma or json (JSON Lines, one object per group). With --extras, the "
            "media rows as scan prints them.", Duplicates, "table csv csv-comma json" },
        { "format", "FORMAT", "text", "The plan of --dry-run as text or json (JSON Lines).",
            kActions & ~Quarantine, "text json" },
        { "format", "FORMAT", nullptr, "The plan of --dry-run as text or json (JSON Lines); with --list, "
            "table (the default on a terminal), csv (semicolons; the default otherwise) or json (JSON Lines).",
            Quarantine, "text table csv json" },
        { "list", nullptr, nullptr, "List the quarantine sets under each PATH, a volume root, instead.",
            Quarantine },
        { "root", "DIR", nullptr, "The volume root whose .vesk-quarantine folder holds the sets (needed).",
            Restore | Purge },
        { "older-than", "DAYS", nullptr, "Purge every set made more than DAYS days ago instead of one ID.",
            Purge },
        { "format", "FORMAT", "text", "text or json (JSON Lines).", Inspect, "text json" },
        { "format", "FORMAT", nullptr, "table (the default on a terminal), csv (semicolons; the default "
            "otherwise), csv-comma or json (JSON Lines).", Usage, "table csv csv-comma json" },
        { "columns", "NAME,...", nullptr, "The fields to print, by name, separated by commas.", Scan },
        { "columns", "NAME,...", nullptr, "With --extras: the fields to print, by name, separated by commas.",
            Duplicates },
        { "summary", nullptr, nullptr, "Print the project summary instead of the media.", Scan },
        { "bytes", nullptr, nullptr, "Sizes as whole numbers of bytes in CSV, HTML and the table.",
            Scan | Duplicates },
        { "output", "FILE", nullptr, "Write to FILE instead of standard output.", Scan | Duplicates },
        { "keep", "RULE", nullptr, "The copy of each group to keep: oldest or newest (by creation date), first "
            "(in the order of the rows) or under:PREFIX (the first copy below that volume or folder). A group "
            "whose kept copy is missing keeps every copy.", Duplicates },
        { "extras", nullptr, nullptr, "Print only the copies --keep does not keep, as media rows, for a "
            "second command to act on through --paths-from.", Duplicates },
        { "confirm-content", nullptr, nullptr, "Read every copy and compare contents: copies that differ "
            "leave their group, flagged content.", Duplicates },
        { "log", nullptr, nullptr, "Copy the scan's log to standard error at the end.", Scan },
        { "dest", "DIR", nullptr, "The destination folder (needed by copy and move).", Copy | Move },
        { "projects", nullptr, nullptr, "One folder per project (the default).", Copy | Move },
        { "no-projects", nullptr, nullptr, "No project folders.", Copy | Move },
        { "types", nullptr, nullptr, "One folder per file type (the default).", Copy | Move },
        { "no-types", nullptr, nullptr, "No file type folders.", Copy | Move },
        { "original-folders", nullptr, nullptr, "Repeat the name of each file's own folder.", Copy | Move },
        { "overwrite", "MODE", "ask", "What to do with a target that exists: ask (on the terminal; no "
            "without one), yes or no. Other questions are asked in ask mode and answered no otherwise.",
            Copy | Move, "ask yes no" },
        { "dry-run", nullptr, nullptr, "Print what would be done, the totals and the index files that would "
            "be written; change nothing.", kActions },
        { "yes", nullptr, nullptr, "Do not ask for confirmation; needed when standard input is not a "
            "terminal.", kConfirmed },
        { "quiet", nullptr, nullptr, "Print nothing but errors and the closing summary.", kActions },
        { "verbose", nullptr, nullptr, "Print the log as it is written.", kActions },
        { "verify", nullptr, nullptr, "Read each copy back from the disk and compare its checksum before it "
            "counts as done (a move to another volume always does).", Copy | Move },
        { "no-mhl", nullptr, nullptr, "Do not record the files written in the destination's ASC MHL history "
            "(DEST/ascmhl/).", Copy | Move },
        { "record", nullptr, nullptr, "Add the result to the folder's history as a new generation.", Verify },
        { "dump", nullptr, nullptr, "Print the diagnostic dump instead of the UIDs.", Bin },
        { "depth", "N", "3", "Levels shown below the top row.", Inspect },
        { "describe", "TOCINDEX", nullptr, "Describe one TOC entry instead.", Inspect },
    };
    return table;
}

const std::vector<CliOptions::CommandInfo> &CliOptions::commands()
{
    static const std::vector<CommandInfo> table = {
        { Scan, "scan", "PATH...", "Scan media folders and print the media rows.", {
            { "The media that none of the volume's bins uses",
                "vesk-cli scan --volume /srv/avid --unused --bins-from \"/srv/avid/Avid Projects\"" },
            { "Files and bytes per project, as JSON Lines",
                "vesk-cli scan --volume /srv/avid --summary --format json" },
            { "One media folder's files, by project",
                "vesk-cli scan \"/srv/avid/Avid MediaFiles/MXF/1\" --sort project" } } },
        { Bin, "bin", "FILE...", "Print the media UIDs that bins reference.", {
            { "The UIDs one bin references",
                "vesk-cli bin \"/srv/avid/Avid Projects/Film/Bin 1.avb\"" },
            { "What the bin reader saw, for a bin that looks wrong",
                "vesk-cli bin --dump \"/srv/avid/Avid Projects/Film/Bin 1.avb\"" } } },
        { Usage, "usage", "PATH...", "Report how much of the media that bins reference the scanned folders "
            "hold.", {
            { "What two bins use, found and offline, on one volume",
                "vesk-cli usage --volume /srv/avid --bins \"/srv/avid/Avid Projects/Film/Bin 1.avb\" "
                "--bins \"/srv/avid/Avid Projects/Film/Bin 2.avb\"" },
            { "Every bin of a project counted together, as JSON Lines",
                "vesk-cli usage --volume /srv/avid --bins \"/srv/avid/Avid Projects/Film\" --format json" } } },
        { Mxf, "mxf", "FILE...", "Print the clip name, project and UIDs of MXF files.", {
            { "Every MXF file of one media folder",
                "vesk-cli mxf \"/srv/avid/Avid MediaFiles/MXF/1/\"*.mxf" } } },
        { Inspect, "inspect", "FILE", "Show the objects and properties of an MDB or OMF file.", {
            { "The outline of a media database, two levels deep",
                "vesk-cli inspect \"/srv/avid/Avid MediaFiles/MXF/1/msmMMOB.mdb\" --depth 2" },
            { "One TOC entry in full",
                "vesk-cli inspect \"/srv/avid/Avid MediaFiles/MXF/1/msmMMOB.mdb\" --describe 0" } } },
        { Duplicates, "duplicates", "PATH...", "Find the copies of each media file across folders and volumes.", {
            { "The copies on two volumes, their contents compared",
                "vesk-cli duplicates --volume /srv/avid /srv/archive --confirm-content" },
            { "Move every copy but the oldest to the trash",
                "vesk-cli duplicates --volume /srv/avid /srv/archive --keep oldest --extras --format json | "
                "vesk-cli delete --volume /srv/avid /srv/archive --paths-from - --yes" } } },
        { Copy, "copy", "PATH...", "Copy the media rows that scan would print.", {
            { "What copying the media no bin uses would do, changing nothing",
                "vesk-cli copy --volume /srv/avid --unused --bins-from \"/srv/avid/Avid Projects\" "
                "--dest /srv/archive --dry-run" },
            { "Copy one project's media into /srv/archive/PROJECT/TYPE/",
                "vesk-cli copy --volume /srv/avid --project \"Project 1\" --dest /srv/archive" } } },
        { Move, "move", "PATH...", "Move the media rows that scan would print.", {
            { "What moving the media no bin uses would do, changing nothing",
                "vesk-cli move --volume /srv/avid --unused --bins-from \"/srv/avid/Avid Projects\" "
                "--dest /srv/archive --dry-run" },
            { "Move it from a script: no question, only errors and the summary",
                "vesk-cli move --volume /srv/avid --unused --bins-from \"/srv/avid/Avid Projects\" "
                "--dest /srv/archive --yes --quiet" } } },
        { Delete, "delete", "PATH...", "Move the media rows that scan would print to the trash.", {
            { "What deleting the media no bin uses would do, changing nothing",
                "vesk-cli delete --volume /srv/avid --unused --bins-from \"/srv/avid/Avid Projects\" --dry-run" },
            { "Delete it without being asked",
                "vesk-cli delete --volume /srv/avid --unused --bins-from \"/srv/avid/Avid Projects\" --yes" } } },
        { Quarantine, "quarantine", "PATH...", "Rename the media rows that scan would print into the quarantine "
            "of their volume, where restore can take them back; or list the quarantine sets.", {
            { "Put one project's media aside, ready to be restored",
                "vesk-cli quarantine --volume /srv/avid --project \"Project 1\" --yes" },
            { "The quarantine sets of a volume",
                "vesk-cli quarantine --list /srv/avid" } } },
        { Restore, "restore", "ID", "Rename the files of a quarantine set back to where they were; a file whose "
            "place is taken stays in quarantine.", {
            { "Take back the newest set",
                "vesk-cli restore \"$(vesk-cli quarantine --list /srv/avid --format csv | tail -n 1 | cut -d ';' -f 1)\" "
                "--root /srv/avid" } } },
        { Purge, "purge", "[ID]", "Delete quarantine sets and their files for good.", {
            { "Delete the sets older than 30 days without being asked",
                "vesk-cli purge --older-than 30 --root /srv/avid --yes" } } },
        { Verify, "verify", "DIR", "Check the files of DIR against its ASC MHL history (DIR/ascmhl/), which "
            "copy and move write.", {
            { "Check a copy made earlier", "vesk-cli verify /srv/archive" },
            { "Check it and record the result in its history", "vesk-cli verify /srv/archive --record" } } },
    };
    return table;
}
// clang-format on

std::optional<CliOptions::CommandInfo> CliOptions::command(const QString &name)
{
    for (const CommandInfo &info : commands())
        if (name == QLatin1String(info.name))
            return info;
    return std::nullopt;
}

std::vector<CliOptions::Option> CliOptions::optionsOf(Command command)
{
    std::vector<Option> chosen;
    for (const Option &option : options())
        if (option.commands & command)
            chosen.push_back(option);
    return chosen;
}

bool CliOptions::takesPath(const Option &option)
{
    const QLatin1String value(option.valueName);
    return value == QLatin1String("DIR") || value == QLatin1String("FILE") || value == QLatin1String("BIN");
}

void CliOptions::addTo(QCommandLineParser &parser, Command command)
{
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOption({ { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help.") });
    for (const Option &option : optionsOf(command)) {
        QCommandLineOption parsed(QString::fromLatin1(option.name), QString::fromLatin1(option.help));
        if (option.valueName)
            parsed.setValueName(QString::fromLatin1(option.valueName));
        if (option.defaultValue)
            parsed.setDefaultValue(QString::fromLatin1(option.defaultValue));
        parser.addOption(parsed);
    }
}

std::optional<int> CliOptions::parse(QCommandLineParser &parser, const QStringList &arguments)
{
    const std::optional<CommandInfo> info = command(arguments.value(0));
    if (!info)
        return CliIO::Usage;
    addTo(parser, info->command);
    if (!parser.parse(arguments))
        return usageError(info->command, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        CliIO::out() << CliHelp::commandHelp(*info) << Qt::flush;
        return CliIO::Success;
    }
    for (const Option &option : optionsOf(info->command)) {
        const QString name = QString::fromLatin1(option.name);
        if (option.choices && parser.isSet(name)
            && !QString::fromLatin1(option.choices).split(QLatin1Char(' ')).contains(parser.value(name)))
            return usageError(info->command,
                QStringLiteral("--%1 takes one of: %2")
                    .arg(name, QString::fromLatin1(option.choices).replace(QLatin1Char(' '), QStringLiteral(", "))));
    }
    return std::nullopt;
}

int CliOptions::usageError(Command command, const QString &message)
{
    for (const CommandInfo &info : commands())
        if (info.command == command)
            return CliIO::usageError(message, CliHelp::usageLine(info));
    return CliIO::Usage;
}
