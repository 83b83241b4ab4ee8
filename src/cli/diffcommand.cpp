#include "cli/diffcommand.h"

#include "cli/boardcommand.h"
#include "cli/commandline.h"
#include "cli/tavleprint.h"

#include "output/brprinter.h"
#include "output/systemprinter.h"
#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "platform/sqlite.h"
#include "platform/units.h"
#include "report/services.h"
#include "tilesheet/changelist.h"
#include "timetable/board.h"
#include "timetable/tilediff.h"
#include "timetable/timetable.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace cli {
namespace {

// Two files are read, so each warning of the loader names its file.
timetable::Timetable::MessageSink loaderSink(std::ostream &err, const std::string &path)
{
    return [&err, path](const std::string &message) { toTerminal(err, message, path + ": "); };
}

// The two exports, listed in the mode, and what changed between them.
struct Compared {
    std::unique_ptr<timetable::Timetable> earlier;
    std::unique_ptr<timetable::Timetable> current;
    std::vector<std::string> earlierNames;
    std::vector<std::string> currentNames;
    timetable::TileDiff diff;
};

std::unique_ptr<timetable::Timetable> loadedExport(const std::string &path, std::ostream &err)
{
    auto table = std::make_unique<timetable::Timetable>(loaderSink(err, path));
    return loadExport(*table, path, err) ? std::move(table) : nullptr;
}

std::optional<Compared> compareFiles(timetable::SelectionMode mode, const std::string &earlierPath,
                                     const std::string &exportPath, std::ostream &err)
{
    Compared compared;
    compared.earlier = loadedExport(earlierPath, err);
    if (!compared.earlier)
        return std::nullopt;
    compared.current = loadedExport(exportPath, err);
    if (!compared.current)
        return std::nullopt;
    // Listed as the list buttons list them, with the same notes about unreachable tiles.
    compared.earlierNames = compared.earlier->Listing(mode).names;
    compared.currentNames = compared.current->Listing(mode).names;
    compared.diff = timetable::CompareTiles(*compared.earlier, *compared.current, mode);
    return compared;
}

// The board's record against the export: the record's tiles stand for the earlier file, its
// names for the earlier file's listing, so that a name never printed is wholly new.
std::optional<Compared> compareWithBoard(timetable::SelectionMode mode,
                                         const std::string &exportPath, std::ostream &err)
{
    Compared compared;
    compared.current = loadedExport(exportPath, err);
    if (!compared.current)
        return std::nullopt;
    const auto board = openBoard(err);
    if (!board)
        return std::nullopt;
    try {
        compared.earlier = board->BoardTable(mode);
        for (const timetable::BoardName &name : board->Names(mode))
            compared.earlierNames.push_back(name.name);
    } catch (const platform::ESqliteError &e) {
        err << "tavleprint: the record of the board cannot be read: " << e.what() << "\n";
        return std::nullopt;
    }
    compared.currentNames = compared.current->Listing(mode).names;
    compared.diff = timetable::CompareTiles(*compared.earlier, *compared.current, mode);
    return compared;
}

// What the earlier tiles are called in messages: the earlier file, or the board.
std::string boardLabel(timetable::SelectionMode mode)
{
    return mode == timetable::SelectionMode::Teachers ? "the teachers' board"
                                                      : "the classes' board";
}

// The changed names to show (Windows-1252), in the comparison's order: the typed ones, each of
// which must be listed in one of the two files (a name listed in either spelling counts as the
// comparison's one), or else every changed name. None, with the
// reason on `err`, for a name neither file lists.
std::optional<std::vector<std::string>>
chosenNames(const Compared &compared, const std::vector<std::string> &typed,
            timetable::SelectionMode mode, const std::string &exportPath,
            const std::string &earlierPath, std::ostream &err)
{
    std::vector<std::string> wanted;
    for (const std::string &name : typed) {
        const std::string spelling = platform::commandLineToCp1252(name);
        const auto listedIn = [&spelling](const std::vector<std::string> &names) {
            return std::find(names.begin(), names.end(), spelling) != names.end();
        };
        if (!listedIn(compared.currentNames) && !listedIn(compared.earlierNames)) {
            err << "tavleprint: " << platform::cp1252ToUtf8(spelling) << ": no such "
                << (mode == timetable::SelectionMode::Teachers ? "teacher" : "class") << " in "
                << exportPath << " or " << earlierPath << "\n";
            return std::nullopt;
        }
        // The comparison spells a name as the newer file lists it.
        wanted.push_back(platform::cp1252LowerCase(spelling));
    }
    std::vector<std::string> names;
    for (const timetable::NameChanges &changes : compared.diff.names) {
        const std::string folded = platform::cp1252LowerCase(changes.name);
        if (typed.empty() || std::find(wanted.begin(), wanted.end(), folded) != wanted.end())
            names.push_back(changes.name);
    }
    return names;
}

// One report to the command line's destination, under its ReportTitle. False when that went
// wrong in a way already reported on `err`; errors of the run itself are thrown.
bool writeReport(report::TBandReport &report, const ReportOutput &output, std::ostream &out,
                 std::ostream &err)
{
    report.ShowProgress = false;
    switch (output.destination) {
    case ReportDestination::Save:
        report.Preview(); // no preview window: the run records and keeps the pages
        if (report.RunFailure())
            std::rethrow_exception(report.RunFailure());
        report.PageOutput()->SavePages(output.target);
        return true;
    case ReportDestination::Pdf:
    case ReportDestination::Xlsx:
    case ReportDestination::Html: {
        const auto filter = exportFilterFor(output.destination, output.target);
        report.Export(*filter);
        filter->Finish();
        return true;
    }
    case ReportDestination::Print: {
        const std::optional<int> index = printerIndex(output.printer, err);
        if (!index)
            return false;
        platform::TPrinter printer;
        output::TBRSystemPrinter device(printer);
        const report::TBRServicesScope services({.PrinterDevice = [&device] { return &device; }});
        report.PrinterSettings.PrinterIndex = *index;
        report.Print();
        out << "printed " << platform::cp1252ToUtf8(report.ReportTitle) << "\n";
        return true;
    }
    }
    return true;
}

int writeOrFail(report::TBandReport &report, const ReportOutput &output, std::ostream &out,
                std::ostream &err)
{
    try {
        if (!writeReport(report, output, out, err))
            return platform::ExitCode::Failure;
    } catch (const std::exception &e) {
        err << "tavleprint: " << platform::cp1252ToUtf8(e.what()) << "\n";
        return platform::ExitCode::Failure;
    }
    return platform::ExitCode::Success;
}

// The words of diff and changes: a mode, EARLIER, EXPORT, names, and for changes a destination.
struct ChangeArgs {
    timetable::SelectionMode mode = timetable::SelectionMode::Teachers;
    std::vector<std::string> positional;
    std::optional<ReportOutput> output;
    bool board = false; // --board: the record of the board instead of EARLIER
};

std::optional<ChangeArgs> parse(const std::vector<std::string> &args, std::string &problem)
{
    ChangeArgs parsed;
    OneOf mode{std::string(kOneModeOnly)};
    std::optional<std::string> printer;
    const auto destinationOption = [&](ReportDestination d) {
        return [&, d](const std::string &file, std::string &problem) {
            if (parsed.output)
                problem = "give only one of --save, --pdf, --xlsx, --html and --print";
            parsed.output = ReportOutput{d, file, {}};
        };
    };
    const Words words{
        .options =
            {modeOption(timetable::SelectionMode::Teachers, mode, parsed.mode),
             modeOption(timetable::SelectionMode::Classes, mode, parsed.mode),
             {"--save", destinationOption(ReportDestination::Save), "--save needs a file name"},
             {"--pdf", destinationOption(ReportDestination::Pdf), "--pdf needs a file name"},
             {"--xlsx", destinationOption(ReportDestination::Xlsx), "--xlsx needs a file name"},
             {"--html", destinationOption(ReportDestination::Html), "--html needs a file name"},
             {"--print", destinationOption(ReportDestination::Print)},
             {"--board", [&](const std::string &, std::string &) { parsed.board = true; }},
             {"--printer", [&](const std::string &queue, std::string &) { printer = queue; },
              "--printer needs a queue name"}},
        .positional = [&](const std::string &word,
                          std::string &) { parsed.positional.push_back(word); },
    };
    if (!readWords(words, args, problem))
        return std::nullopt;
    if (printer) {
        if (parsed.output && parsed.output->destination == ReportDestination::Print)
            parsed.output->printer = *printer;
        else
            problem = "--printer goes with --print";
    }
    if (problem.empty() && !mode)
        problem = "give --teachers or --classes";
    else if (problem.empty() && parsed.positional.size() < (parsed.board ? 1u : 2u))
        problem = parsed.board ? "give the export file"
                               : "give the earlier export file (or --board) and the export file";
    // With --board the export comes first: EARLIER's place stays empty.
    if (problem.empty() && parsed.board)
        parsed.positional.insert(parsed.positional.begin(), std::string());
    if (!problem.empty())
        return std::nullopt;
    return parsed;
}

std::optional<Compared> compare(const ChangeArgs &args, std::ostream &err)
{
    return args.board ? compareWithBoard(args.mode, args.positional[1], err)
                      : compareFiles(args.mode, args.positional[0], args.positional[1], err);
}

// The earlier side as messages name it.
std::string earlierLabel(const ChangeArgs &args)
{
    return args.board ? boardLabel(args.mode) : args.positional[0];
}

} // namespace

int runDiffCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::string problem;
    const auto parsed = parse(args, problem);
    if (!parsed)
        return usageError(err, "diff", "diff: " + problem);
    if (parsed->output)
        return usageError(err, "diff",
                          "diff writes its lines to standard output, it takes no "
                          "--save, --pdf, --xlsx, --html or --print");
    if (parsed->positional.size() != 2)
        return usageError(err, "diff",
                          parsed->board ? "diff --board takes exactly one export file"
                                        : "diff takes exactly two export files");

    const auto compared = compare(*parsed, err);
    if (!compared)
        return platform::ExitCode::Failure;

    const auto write = [&out](char sign, const timetable::TBrik &t) {
        out << sign << '\t' << tileLine(t) << '\n';
    };
    for (const timetable::NameChanges &name : compared->diff.names) {
        for (const timetable::TBrik *tile : name.removed)
            write('-', *tile);
        for (const timetable::TBrik *tile : name.added)
            write('+', *tile);
    }
    out.flush();
    return out ? platform::ExitCode::Success : platform::ExitCode::Failure;
}

int runChangesCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::string problem;
    const auto parsed = parse(args, problem);
    if (!parsed)
        return usageError(err, "changes", "changes: " + problem);
    if (!parsed->output)
        return usageError(err, "changes",
                          "changes needs one of --save, --pdf, --xlsx, --html and --print");

    const platform::ScreenResolutionOverride standardScreen(platform::screenDpi);
    const std::string earlierPath = earlierLabel(*parsed);
    const std::string &exportPath = parsed->positional[1];
    const auto compared = compare(*parsed, err);
    if (!compared)
        return platform::ExitCode::Failure;
    const std::vector<std::string> typed(parsed->positional.begin() + 2, parsed->positional.end());
    const auto names = chosenNames(*compared, typed, parsed->mode, exportPath, earlierPath, err);
    if (!names)
        return platform::ExitCode::Failure;
    if (names->empty()) {
        out << "no changes between " << earlierPath << " and " << exportPath
            << "; nothing written\n";
        return platform::ExitCode::Success;
    }

    tilesheet::TChangeList list(
        {.Diff = &compared->diff,
         .Names = *names,
         .Mode = parsed->mode,
         .EarlierFileName = !parsed->board ? absolutePath(earlierPath)
                            : parsed->mode == timetable::SelectionMode::Teachers
                                ? platform::cp1252(u8"Tavlen (l\u00e6rere)")
                                : platform::cp1252(u8"Tavlen (klasser)"),
         .FileName = absolutePath(exportPath)});
    return writeOrFail(list.Report(), *parsed->output, out, err);
}

int runNewTilesCommand(const NewTilesRequest &request, std::ostream &out, std::ostream &err)
{
    const platform::ScreenResolutionOverride standardScreen(platform::screenDpi);
    const bool board = request.earlierPath.empty();
    const std::string earlierPath = board ? boardLabel(request.mode) : request.earlierPath;
    const auto compared =
        board ? compareWithBoard(request.mode, request.exportPath, err)
              : compareFiles(request.mode, request.earlierPath, request.exportPath, err);
    if (!compared)
        return platform::ExitCode::Failure;
    const auto names =
        chosenNames(*compared, request.names, request.mode, request.exportPath, earlierPath, err);
    if (!names)
        return platform::ExitCode::Failure;

    tilesheet::TRapFormInputs inputs = request.inputs;
    const std::vector<const timetable::TBrik *> newTiles =
        timetable::NewTilesPrintList(compared->diff, *names, inputs.NameStarts);
    if (newTiles.empty()) {
        out << "no new tiles since " << earlierPath << "; nothing written\n";
        return platform::ExitCode::Success;
    }
    inputs.FileName = absolutePath(request.exportPath);
    inputs.PrintList = &newTiles;
    tilesheet::TRapForm sheet(inputs);
    sheet.BRBrikker.ReportTitle = platform::cp1252(u8"Nye brikker");
    const int code = writeOrFail(sheet.BRBrikker, request.output, out, err);
    // The sheets told the user to take the old tiles of each name down and put these up: the
    // board holds the export's tiles of the names printed.
    if (code == platform::ExitCode::Success &&
        request.output.destination == ReportDestination::Print) {
        PrintRecorder recorder(request.record, request.mode, request.exportPath,
                               request.output.printer, err);
        for (const std::string &name : *names)
            if (const auto *changes = compared->diff.find(name); changes && !changes->added.empty())
                recorder.Printed(*compared->current, name);
    }
    return code;
}

} // namespace cli
