#include "cli/tavleprint.h"

#include "cli/boardcommand.h"
#include "cli/calibratecommand.h"
#include "cli/diffcommand.h"
#include "cli/pagescommand.h"
#include "cli/sheetscommand.h"

#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/fileerror.h"
#include "timetable/timetable.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <string_view>

namespace cli {
namespace {

// Each command's synopsis (after "usage: " or its indent) and description, in the order the
// full usage lists them.
struct CommandHelp {
    std::string_view name;
    std::string_view synopsis;
    std::string_view description;
};

constexpr CommandHelp kCommands[] = {
    {"list", "tavleprint list (--teachers|--classes)... EXPORT\n",
     "  list   the teachers or classes the selection window would list, one per line;\n"
     "         each mode flag runs one listing, in the order given, the last one counts\n"},
    {"tiles", "tavleprint tiles [(--teachers|--classes)...] EXPORT\n",
     "  tiles  every tile of the tile list: teacher, class, subject, room, period, TAB-separated,\n"
     "         in tile-list order (file order, or the order the given listings leave)\n"},
    {"pages", "tavleprint pages FILE.brp\n",
     "  pages  a saved report file's page count, then each page's texts in drawing order\n"},
    {"sheets",
     "tavleprint sheets (--teachers|--classes) EXPORT [NAME...] [--margins T,L,B,R]\n"
     "                         [--cut-frames] (--save FILE.brp | --pdf FILE.pdf |\n"
     "                         --xlsx FILE.xlsx | --html FILE.htm | --print [--printer QUEUE]\n"
     "                         [--no-record]) [--since (EARLIER | --board)]\n",
     "  sheets the tile sheets of the given names (all listed ones by default): one saved\n"
     "         report file (one name); one PDF document, Excel workbook or HTML page holding\n"
     "         all of them; or one print job per name; margins in mm: a print takes those\n"
     "         kept for its queue (by the printer adjustment window), a file the standard\n"
     "         8.5,12.0,9.0,20.0, unless --margins is given; with --since, only the tiles\n"
     "         that are new since the earlier export (or the board's record, --board), of\n"
     "         the given names (all changed ones by default), all in one report \"Nye\n"
     "         brikker\", each name from the top of a new column (one saved report file,\n"
     "         one file, or one print job)\n"},
    {"diff", "tavleprint diff (--teachers|--classes) (EARLIER | --board) EXPORT\n",
     "  diff   the tiles that changed from EARLIER to EXPORT, compared as multisets of lines:\n"
     "         '-' (take down) or '+' (new), a TAB, then the five fields as tiles prints them;\n"
     "         by name, names in the order list gives for EXPORT, then names found only in\n"
     "         EARLIER; in a name the removed tiles, then the added ones, each in the order\n"
     "         tiles gives for its file; tiles without a teacher (class) are left out;\n"
     "         nothing printed when nothing changed; with --board, from the tiles recorded\n"
     "         on the board instead of EARLIER: a name never printed is wholly new\n"},
    {"changes",
     "tavleprint changes (--teachers|--classes) (EARLIER | --board) EXPORT [NAME...]\n"
     "                          (--save FILE.brp | --pdf FILE.pdf | --xlsx FILE.xlsx |\n"
     "                           --html FILE.htm | --print [--printer QUEUE])\n",
     "  changes the report \"\xC3\x86ndringsliste\": per changed name (the given ones, all by\n"
     "         default) the tiles to take down and the new ones, on A4 pages; --board as\n"
     "         for diff\n"},
    {"board", "tavleprint board (--teachers|--classes) [--at YYYY-MM-DD]\n",
     "  board  the record of the teachers' or classes' board: each name on it with its tile\n"
     "         count, when (local time), from which export file and on which printer it was\n"
     "         last printed, TAB-separated; with --at, the board as it stood at the end of\n"
     "         that day. The record is tavle.sqlite in the user's data folder\n"
     "         (~/.local/share/Tavleplanner/), shared with the desktop program\n"},
    {"calibrate", "tavleprint calibrate [--printer QUEUE] [--margins T,L,B,R]\n",
     "  calibrate\n"
     "         the calibration sheet (job \"Pr\xC3\xB8veark\") on QUEUE (the default printer\n"
     "         unless given), with the margins kept for it unless --margins is given: the\n"
     "         outer cutting lines, each with the distance from its paper edge it should have\n"},
};

constexpr std::string_view kNothingChangedNote =
    "  When the chosen names have nothing new (sheets --since) or no change (changes), a\n"
    "  line says so on standard output, nothing is written or printed, and the exit code is 0.\n";

constexpr std::string_view kMarginsNote =
    "  Margins must leave the A4 sheet room for its ten columns and six rows of tiles (top\n"
    "  and bottom together at most 87.3 mm, left and right at most 76.5 mm): others are\n"
    "  refused (exit code 2); kept margins that cannot be used are warned of on stderr\n"
    "  and read as the standard ones.\n";

bool saysNothingChanged(std::string_view command)
{
    return command == "sheets" || command == "changes";
}

bool takesMargins(std::string_view command)
{
    return command == "sheets" || command == "calibrate";
}

const std::string &fullUsage()
{
    static const std::string usage = [] {
        std::string text;
        const auto synopsis = [&text](std::string_view line) {
            text += text.empty() ? "usage: " : "       ";
            text += line;
        };
        for (const CommandHelp &command : kCommands)
            synopsis(command.synopsis);
        synopsis("tavleprint --help\n");
        synopsis("tavleprint --version\n");
        text += "\n";
        for (const CommandHelp &command : kCommands)
            text += command.description;
        return text + std::string(kMarginsNote) + std::string(kNothingChangedNote);
    }();
    return usage;
}

const CommandHelp *commandHelp(std::string_view name)
{
    for (const CommandHelp &command : kCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

// One command's usage, for `tavleprint COMMAND --help`.
std::string commandUsage(const CommandHelp &command)
{
    std::string text =
        "usage: " + std::string(command.synopsis) + "\n" + std::string(command.description);
    if (takesMargins(command.name))
        text += kMarginsNote;
    if (saysNothingChanged(command.name))
        text += kNothingChangedNote;
    return text;
}

bool isHelpOption(std::string_view arg) { return arg == "--help" || arg == "-h"; }

int usageError(std::ostream &err, std::string_view problem)
{
    err << "tavleprint: " << problem << "\n" << fullUsage();
    return platform::ExitCode::Usage;
}

// The mode flags and the one export file of `list` and `tiles`.
struct ListingArgs {
    std::vector<timetable::SelectionMode> modes;
    std::string exportPath;
};

std::optional<ListingArgs> parseListingArgs(const std::vector<std::string> &args,
                                            std::string &problem)
{
    ListingArgs parsed;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--teachers") {
            parsed.modes.push_back(timetable::SelectionMode::Teachers);
        } else if (arg == "--classes") {
            parsed.modes.push_back(timetable::SelectionMode::Classes);
        } else if (arg.starts_with("--")) {
            problem = "unknown option " + arg;
            return std::nullopt;
        } else if (parsed.exportPath.empty()) {
            parsed.exportPath = arg;
        } else {
            problem = "more than one export file";
            return std::nullopt;
        }
    }
    if (parsed.exportPath.empty()) {
        problem = "no export file given";
        return std::nullopt;
    }
    return parsed;
}

int runListing(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const bool tiles = args[0] == "tiles";
    std::string problem;
    const auto parsed = parseListingArgs(args, problem);
    if (!parsed)
        return usageError(err, problem);
    if (!tiles && parsed->modes.empty())
        return usageError(err, "list needs --teachers or --classes");

    timetable::Timetable table([&err](const std::string &m) { toTerminal(err, m); });
    if (!loadExport(table, parsed->exportPath, err))
        return platform::ExitCode::Failure;
    timetable::NameListing listing;
    for (const auto mode : parsed->modes)
        listing = table.Listing(mode);

    if (tiles) {
        for (const auto &t : table.tiles())
            out << tileLine(*t) << '\n';
    } else {
        for (const auto &name : listing.names)
            out << platform::cp1252ToUtf8(name) << '\n';
    }
    out.flush();
    return out ? platform::ExitCode::Success : platform::ExitCode::Failure;
}

} // namespace

bool needsQtApplication(const std::string &command)
{
    return command != "list" && command != "tiles" && command != "diff" && command != "--help" &&
           command != "-h" && command != "help" && command != "--version";
}

// Messages for the message area that matter on a terminal: everything but the reading note.
void toTerminal(std::ostream &err, const std::string &message, const std::string &prefix)
{
    if (message.starts_with("reading tiles..."))
        return;
    std::string text = message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    err << "tavleprint: " << prefix << platform::cp1252ToUtf8(text) << "\n";
}

bool loadExport(timetable::Timetable &table, const std::string &path, std::ostream &err)
{
    table.setPlainMessages(true); // the terminal speaks English
    try {
        table.LoadBrikker(path);
    } catch (const timetable::ENotAnExport &e) {
        err << "tavleprint: " << path << ": " << e.plain() << "\n";
        return false;
    } catch (const platform::EInOutError &e) {
        err << "tavleprint: " << path << ": " << fileProblem(e) << "\n";
        return false;
    }
    return true;
}

std::string tileLine(const timetable::TBrik &t)
{
    return platform::cp1252ToUtf8(t.Laerer + '\t' + t.Klasse + '\t' + t.Fag + '\t' + t.Lokale +
                                  '\t' + t.Periode);
}

std::string absolutePath(const std::string &path)
{
    return platform::fromQString(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
}

std::string fileProblem(const std::exception &error)
{
    if (const auto *refused = dynamic_cast<const platform::ERefusedFile *>(&error))
        return refused->reason();
    return error.what();
}

namespace {

int runCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.empty())
        return usageError(err, "no command given");
    if (isHelpOption(args[0]) || args[0] == "help") {
        out << fullUsage();
        return platform::ExitCode::Success;
    }
    if (const CommandHelp *command = commandHelp(args[0]);
        command != nullptr && std::any_of(args.begin() + 1, args.end(), isHelpOption)) {
        out << commandUsage(*command);
        return platform::ExitCode::Success;
    }
    if (args[0] == "--version") {
        out << "tavleprint " TAVLE_VERSION "\n";
        return platform::ExitCode::Success;
    }
    if (args[0] == "list" || args[0] == "tiles")
        return runListing(args, out, err);
    if (args[0] == "sheets")
        return runSheetsCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (args[0] == "diff")
        return runDiffCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (args[0] == "changes")
        return runChangesCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (args[0] == "board")
        return runBoardCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (args[0] == "calibrate")
        return runCalibrateCommand(std::vector<std::string>(args.begin() + 1, args.end()), out,
                                   err);
    if (args[0] == "pages") {
        if (args.size() != 2 || args[1].starts_with("--"))
            return usageError(err, "pages needs exactly one saved report file");
        return runPagesCommand(args[1], out, err);
    }
    return usageError(err, "unknown command " + args[0]);
}

} // namespace

int runTavleprint(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    try {
        return runCommand(args, out, err);
    } catch (const std::bad_alloc &) {
        err << "tavleprint: not enough memory\n";
        return platform::ExitCode::Failure;
    }
}

} // namespace cli
