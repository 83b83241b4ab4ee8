#include "cli/tavleprint.h"

#include "cli/boardcommand.h"
#include "cli/calibratecommand.h"
#include "cli/commandline.h"
#include "cli/diffcommand.h"
#include "cli/pagescommand.h"
#include "cli/sheetscommand.h"

#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/fileerror.h"
#include "platform/pathtext.h"
#include "timetable/timetable.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <string_view>

namespace cli {
namespace {

int runList(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
int runTiles(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
int runPages(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// What a mistake on these commands' lines is followed by, beside the full usage.
constexpr std::string_view kSheetsUsage =
    "usage: tavleprint sheets (--teachers|--classes) EXPORT [NAME...] "
    "[--margins TOP,LEFT,BOTTOM,RIGHT] [--cut-frames]\n"
    "                        [--since (EARLIER | --board)]\n"
    "                        (--save FILE.brp | --pdf FILE.pdf | --xlsx FILE.xlsx | "
    "--html FILE.htm |\n"
    "                         --print [--printer QUEUE] [--no-record])\n";
constexpr std::string_view kDiffUsage =
    "usage: tavleprint diff (--teachers|--classes) (EARLIER | --board) EXPORT\n"
    "       tavleprint changes (--teachers|--classes) (EARLIER | --board) EXPORT [NAME...]\n"
    "                          (--save FILE.brp | --pdf FILE.pdf | --xlsx FILE.xlsx |\n"
    "                           --html FILE.htm | --print [--printer QUEUE])\n";
constexpr std::string_view kBoardUsage =
    "usage: tavleprint board (--teachers|--classes) [--at YYYY-MM-DD]\n";
constexpr std::string_view kCalibrateUsage =
    "usage: tavleprint calibrate [--printer QUEUE] [--margins T,L,B,R]\n";

// The commands in the order the full usage lists them.
const Command kCommands[] = {
    {.name = "list",
     .synopsis = "tavleprint list (--teachers|--classes)... EXPORT\n",
     .description =
         "  list   the teachers or classes the selection window would list, one per line;\n"
         "         each mode flag runs one listing, in the order given, the last one counts\n",
     .needsQt = false,
     .run = &runList},
    {.name = "tiles",
     .synopsis = "tavleprint tiles [(--teachers|--classes)...] EXPORT\n",
     .description =
         "  tiles  every tile of the tile list: teacher, class, subject, room, period, "
         "TAB-separated,\n"
         "         in tile-list order (file order, or the order the given listings leave)\n",
     .needsQt = false,
     .run = &runTiles},
    {.name = "pages",
     .synopsis = "tavleprint pages FILE.brp\n",
     .description =
         "  pages  a saved report file's page count, then each page's texts in drawing order\n",
     .run = &runPages},
    {.name = "sheets",
     .synopsis =
         "tavleprint sheets (--teachers|--classes) EXPORT [NAME...] [--margins T,L,B,R]\n"
         "                         [--cut-frames] (--save FILE.brp | --pdf FILE.pdf |\n"
         "                         --xlsx FILE.xlsx | --html FILE.htm | --print [--printer QUEUE]\n"
         "                         [--no-record]) [--since (EARLIER | --board)]\n",
     .description =
         "  sheets the tile sheets of the given names (all listed ones by default): one saved\n"
         "         report file (one name); one PDF document, Excel workbook or HTML page holding\n"
         "         all of them; or one print job per name; margins in mm: a print takes those\n"
         "         kept for its queue (by the printer adjustment window), a file the standard\n"
         "         8.5,12.0,9.0,20.0, unless --margins is given; with --since, only the tiles\n"
         "         that are new since the earlier export (or the board's record, --board), of\n"
         "         the given names (all changed ones by default), all in one report \"Nye\n"
         "         brikker\", each name from the top of a new column (one saved report file,\n"
         "         one file, or one print job)\n",
     .mistakeUsage = kSheetsUsage,
     .marginsNote = true,
     .nothingChangedNote = true,
     .run = &runSheetsCommand},
    {.name = "diff",
     .synopsis = "tavleprint diff (--teachers|--classes) (EARLIER | --board) EXPORT\n",
     .description =
         "  diff   the tiles that changed from EARLIER to EXPORT, compared as multisets of lines:\n"
         "         '-' (take down) or '+' (new), a TAB, then the five fields as tiles prints "
         "them;\n"
         "         by name, names in the order list gives for EXPORT, then names found only in\n"
         "         EARLIER; in a name the removed tiles, then the added ones, each in the order\n"
         "         tiles gives for its file; tiles without a teacher (class) are left out;\n"
         "         nothing printed when nothing changed; with --board, from the tiles recorded\n"
         "         on the board instead of EARLIER: a name never printed is wholly new\n",
     .mistakeUsage = kDiffUsage,
     .needsQt = false,
     .run = &runDiffCommand},
    {.name = "changes",
     .synopsis =
         "tavleprint changes (--teachers|--classes) (EARLIER | --board) EXPORT [NAME...]\n"
         "                          (--save FILE.brp | --pdf FILE.pdf | --xlsx FILE.xlsx |\n"
         "                           --html FILE.htm | --print [--printer QUEUE])\n",
     .description =
         "  changes the report \"\xC3\x86ndringsliste\": per changed name (the given ones, all by\n"
         "         default) the tiles to take down and the new ones, on A4 pages; --board as\n"
         "         for diff\n",
     .mistakeUsage = kDiffUsage,
     .nothingChangedNote = true,
     .run = &runChangesCommand},
    {.name = "board",
     .synopsis = "tavleprint board (--teachers|--classes) [--at YYYY-MM-DD]\n",
     .description =
         "  board  the record of the teachers' or classes' board: each name on it with its tile\n"
         "         count, when (local time), from which export file and on which printer it was\n"
         "         last printed, TAB-separated; with --at, the board as it stood at the end of\n"
         "         that day. The record is tavle.sqlite in the user's data folder\n"
         "         (~/.local/share/Tavleplanner/), shared with the desktop program\n",
     .mistakeUsage = kBoardUsage,
     .run = &runBoardCommand},
    {.name = "calibrate",
     .synopsis = "tavleprint calibrate [--printer QUEUE] [--margins T,L,B,R]\n",
     .description =
         "  calibrate\n"
         "         the calibration sheet (job \"Pr\xC3\xB8veark\") on QUEUE (the default printer\n"
         "         unless given), with the margins kept for it unless --margins is given: the\n"
         "         outer cutting lines, each with the distance from its paper edge it should "
         "have\n",
     .mistakeUsage = kCalibrateUsage,
     .marginsNote = true,
     .run = &runCalibrateCommand},
};

const Command *commandNamed(std::string_view name)
{
    for (const Command &command : kCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

bool isHelpOption(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// `list` and `tiles`: the mode flags, each one listing in the order given, and one export file.
int runListing(bool tiles, const std::vector<std::string> &args, std::ostream &out,
               std::ostream &err)
{
    std::vector<timetable::SelectionMode> modes;
    std::string exportPath;
    const auto mode = [&modes](timetable::SelectionMode m) {
        return [&modes, m](const std::string &, std::string &) { modes.push_back(m); };
    };
    const Words words{
        .options = {{"--teachers", mode(timetable::SelectionMode::Teachers)},
                    {"--classes", mode(timetable::SelectionMode::Classes)}},
        .positional =
            [&exportPath](const std::string &word, std::string &problem) {
                if (!exportPath.empty())
                    problem = "more than one export file";
                exportPath = word;
            },
    };
    std::string problem;
    if (readWords(words, args, problem) && exportPath.empty())
        problem = "no export file given";
    if (!problem.empty())
        return usageError(err, "list", problem);
    if (!tiles && modes.empty())
        return usageError(err, "list", "list needs --teachers or --classes");

    timetable::Timetable table([&err](const std::string &m) { toTerminal(err, m); });
    if (!loadExport(table, exportPath, err))
        return platform::ExitCode::Failure;
    timetable::NameListing listing;
    for (const auto m : modes)
        listing = table.Listing(m);

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

int runList(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    return runListing(false, args, out, err);
}

int runTiles(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    return runListing(true, args, out, err);
}

int runPages(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const std::string exactlyOne = "pages needs exactly one saved report file";
    std::string file;
    int files = 0;
    const Words words{
        .options = {},
        .positional =
            [&](const std::string &word, std::string &problem) {
                if (++files > 1)
                    problem = exactlyOne;
                file = word;
            },
        .unknown = [&](const std::string &) { return exactlyOne; },
    };
    std::string problem;
    if (readWords(words, args, problem) && files == 0)
        problem = exactlyOne;
    if (!problem.empty())
        return usageError(err, "pages", problem);
    return runPagesCommand(file, out, err);
}

} // namespace

bool needsQtApplication(const std::string &command)
{
    if (isHelpOption(command) || command == "help" || command == "--version")
        return false;
    const Command *known = commandNamed(command);
    return known == nullptr || known->needsQt;
}

int usageError(std::ostream &err, std::string_view command, const std::string &problem)
{
    err << "tavleprint: " << problem << "\n";
    const Command *known = commandNamed(command);
    if (known != nullptr && !known->mistakeUsage.empty())
        err << known->mistakeUsage;
    else
        err << fullUsage(kCommands);
    return platform::ExitCode::Usage;
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
    // The argument is spelled as the system's narrow calls take it (Windows: the ANSI code
    // page); shown with the system's own separators.
    const QFileInfo file(platform::pathToQString(path));
    return platform::fromQString(QDir::toNativeSeparators(file.absoluteFilePath()));
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
        return usageError(err, {}, "no command given");
    if (isHelpOption(args[0]) || args[0] == "help") {
        out << fullUsage(kCommands);
        return platform::ExitCode::Success;
    }
    const Command *command = commandNamed(args[0]);
    if (command != nullptr && std::any_of(args.begin() + 1, args.end(), isHelpOption)) {
        out << commandUsage(*command);
        return platform::ExitCode::Success;
    }
    if (args[0] == "--version") {
        out << "tavleprint " TAVLE_VERSION "\n";
        return platform::ExitCode::Success;
    }
    if (command == nullptr)
        return usageError(err, {}, "unknown command " + args[0]);
    return command->run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
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
