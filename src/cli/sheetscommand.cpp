#include "cli/sheetscommand.h"

#include "cli/boardcommand.h"
#include "cli/commandline.h"
#include "cli/diffcommand.h"
#include "cli/marginsoption.h"
#include "cli/tavleprint.h"

#include "output/brprinter.h"
#include "output/systemprinter.h"
#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "platform/units.h"
#include "report/services.h"
#include "tilesheet/rapform.h"
#include "timetable/timetable.h"

#include <QDir>
#include <algorithm>
#include <memory>
#include <optional>
#include <sstream>

namespace cli {
namespace {

using Destination = ReportDestination;

struct SheetsArgs {
    timetable::SelectionMode mode = timetable::SelectionMode::Teachers;
    std::string exportPath;
    std::vector<std::string> names; // UTF-8, as typed
    tilesheet::TRapFormInputs inputs;
    // --margins; without it a print takes those kept for its queue, a file the standard ones.
    std::optional<tilesheet::Margins> margins;
    Destination destination = Destination::Pdf;
    std::string target;      // the .brp file or the exported file
    std::string printer;     // queue name for --print, empty: the default printer
    std::string since;       // the earlier export: only the new tiles, on shared sheets
    bool sinceBoard = false; // --since --board: new against the board's record instead
    bool record = true;      // a print records its names on the board
};

std::optional<SheetsArgs> parse(const std::vector<std::string> &args, std::string &problem)
{
    SheetsArgs parsed;
    OneOf mode{std::string(kOneModeOnly)};
    OneOf destination("give only one of --save, --pdf, --xlsx, --html and --print");
    std::vector<std::string> positional;
    const auto destinationOption = [&](Destination d) {
        return [&, d](const std::string &file, std::string &problem) {
            destination.given(problem);
            parsed.destination = d;
            parsed.target = file;
        };
    };
    const Words words{
        .options = {modeOption(timetable::SelectionMode::Teachers, mode, parsed.mode),
                    modeOption(timetable::SelectionMode::Classes, mode, parsed.mode),
                    {"--margins",
                     [&](const std::string &text, std::string &problem) {
                         tilesheet::Margins margins{};
                         if (parseMargins(text, margins, problem))
                             parsed.margins = margins;
                     },
                     "--margins takes TOP,LEFT,BOTTOM,RIGHT in millimetres"},
                    {"--cut-frames",
                     [&](const std::string &, std::string &) { parsed.inputs.CutFrames = true; }},
                    {"--save", destinationOption(Destination::Save), "--save needs a file name"},
                    {"--pdf", destinationOption(Destination::Pdf), "--pdf needs a file name"},
                    {"--xlsx", destinationOption(Destination::Xlsx), "--xlsx needs a file name"},
                    {"--html", destinationOption(Destination::Html), "--html needs a file name"},
                    {"--since",
                     [&](const std::string &earlier, std::string &) {
                         parsed.sinceBoard = earlier == "--board";
                         parsed.since = earlier;
                     },
                     "--since needs the earlier export file or --board"},
                    {"--print", destinationOption(Destination::Print)},
                    {"--no-record",
                     [&](const std::string &, std::string &) { parsed.record = false; }},
                    {"--printer",
                     [&](const std::string &queue, std::string &) { parsed.printer = queue; },
                     "--printer needs a queue name"}},
        .positional = [&](const std::string &word, std::string &) { positional.push_back(word); },
    };
    if (!readWords(words, args, problem))
        return std::nullopt;
    if (!mode)
        problem = "sheets needs --teachers or --classes";
    else if (!destination)
        problem = "sheets needs one of --save, --pdf, --xlsx, --html and --print";
    else if (positional.empty())
        problem = "no export file given";
    else if (parsed.destination == Destination::Save && positional.size() != 2 &&
             parsed.since.empty())
        problem = "--save needs exactly one name";
    else if (!parsed.printer.empty() && parsed.destination != Destination::Print)
        problem = "--printer goes with --print";
    if (!problem.empty())
        return std::nullopt;
    parsed.exportPath = positional.front();
    parsed.names.assign(positional.begin() + 1, positional.end());
    return parsed;
}

// Loads the export file into `table`; false, with the reason on `err`, when it cannot.
// The names to print (Windows-1252): the ones typed, each of which must be listed, or else
// every listed name. None, with the reason on `err`, for an unknown name or an empty listing.
std::optional<std::vector<std::string>> namesToPrint(timetable::Timetable &table,
                                                     const SheetsArgs &parsed, std::ostream &err)
{
    const bool teachers = parsed.mode == timetable::SelectionMode::Teachers;
    const std::vector<std::string> listed = table.Listing(parsed.mode).names;
    std::vector<std::string> names;
    for (const std::string &typed : parsed.names) {
        const std::string name = platform::commandLineToCp1252(typed);
        if (std::find(listed.begin(), listed.end(), name) == listed.end()) {
            err << "tavleprint: " << platform::cp1252ToUtf8(name) << ": no such "
                << (teachers ? "teacher" : "class") << " in " << parsed.exportPath << "\n";
            return std::nullopt;
        }
        names.push_back(name);
    }
    if (names.empty())
        names = listed;
    if (names.empty()) {
        err << "tavleprint: " << parsed.exportPath << ": no " << (teachers ? "teachers" : "classes")
            << " to print\n";
        return std::nullopt;
    }
    return names;
}

// The command line's frames and its margins: those given, else for a print the ones kept for
// its queue (what cannot be used of them warned of on `err`), for a file the standard ones.
tilesheet::TRapFormInputs withMargins(const SheetsArgs &parsed, std::ostream &err)
{
    tilesheet::TRapFormInputs inputs = parsed.inputs;
    // A PDF belongs to no printer: only a print takes a printer's kept margins.
    const tilesheet::Margins margins = parsed.margins ? *parsed.margins
                                       : parsed.destination == Destination::Print
                                           ? keptMarginsFor(queueFor(parsed.printer), err)
                                           : tilesheet::kStandardMargins;
    tilesheet::SetMargins(inputs, margins);
    return inputs;
}

// The tile sheet's inputs: those above, the export file's full name and the table's print list.
tilesheet::TRapFormInputs sheetInputs(const SheetsArgs &parsed, const timetable::Timetable &table,
                                      std::ostream &err)
{
    tilesheet::TRapFormInputs inputs = withMargins(parsed, err);
    inputs.FileName = absolutePath(parsed.exportPath);
    inputs.PrintList = &table.printList();
    return inputs;
}

// --save: the first name's sheets recorded and saved as a report file.
void saveSheets(timetable::Timetable &table, const tilesheet::TRapFormInputs &inputs,
                const std::string &name, const std::string &file)
{
    table.BuildPrintList(name);
    tilesheet::TRapForm sheet(inputs);
    sheet.BRBrikker.Preview(); // no preview window: the run records and keeps the pages
    if (sheet.BRBrikker.RunFailure())
        std::rethrow_exception(sheet.BRBrikker.RunFailure());
    sheet.BRBrikker.PageOutput()->SavePages(file);
}

// --pdf, --xlsx, --html: one file for all names, each name's run adding its pages.
void exportSheets(timetable::Timetable &table, const tilesheet::TRapFormInputs &inputs,
                  const std::vector<std::string> &names, Destination destination,
                  const std::string &file)
{
    const auto filter = exportFilterFor(destination, file);
    filter->TitledSections = names.size() > 1;
    for (const std::string &name : names) {
        table.BuildPrintList(name);
        tilesheet::TRapForm sheet(inputs);
        sheet.BRBrikker.ShowProgress = false;
        sheet.BRBrikker.ReportTitle = name;
        sheet.BRBrikker.Export(*filter);
    }
    filter->Finish();
}

// --print: each name's sheets on the printer, reported on `out`. False when there is no
// printer to print on.
bool printSheets(timetable::Timetable &table, const tilesheet::TRapFormInputs &inputs,
                 const std::vector<std::string> &names, const std::string &queue, std::ostream &out,
                 std::ostream &err, PrintRecorder &recorder)
{
    const std::optional<int> index = printerIndex(queue, err);
    if (!index)
        return false;
    platform::TPrinter printer;
    output::TBRSystemPrinter device(printer);
    const report::TBRServicesScope services({.PrinterDevice = [&device] { return &device; }});
    for (const std::string &name : names) {
        table.BuildPrintList(name);
        tilesheet::TRapForm sheet(inputs);
        sheet.BRBrikker.PrinterSettings.PrinterIndex = *index;
        sheet.BRBrikker.ShowProgress = false;
        sheet.BRBrikker.ReportTitle = name;
        sheet.BRBrikker.Print();
        out << "printed " << platform::cp1252ToUtf8(name) << "\n";
        recorder.Printed(table, name);
    }
    return true;
}

// The sheets of `names` to the command line's destination. False when that went wrong in a
// way already reported on `err`; errors of the runs themselves are thrown.
bool writeSheets(timetable::Timetable &table, const SheetsArgs &parsed,
                 const tilesheet::TRapFormInputs &inputs, const std::vector<std::string> &names,
                 std::ostream &out, std::ostream &err)
{
    switch (parsed.destination) {
    case Destination::Save:
        saveSheets(table, inputs, names.front(), parsed.target);
        return true;
    case Destination::Pdf:
    case Destination::Xlsx:
    case Destination::Html:
        exportSheets(table, inputs, names, parsed.destination, parsed.target);
        return true;
    case Destination::Print: {
        PrintRecorder recorder(parsed.record, parsed.mode, parsed.exportPath, parsed.printer, err);
        return printSheets(table, inputs, names, parsed.printer, out, err, recorder);
    }
    }
    return true;
}

} // namespace

int runSheetsCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::string problem;
    const auto parsed = parse(args, problem);
    if (!parsed)
        return usageError(err, "sheets", problem);
    if (!parsed->since.empty())
        return runNewTilesCommand({parsed->mode,
                                   parsed->sinceBoard ? std::string() : parsed->since,
                                   parsed->exportPath,
                                   parsed->names,
                                   withMargins(*parsed, err),
                                   {parsed->destination, parsed->target, parsed->printer},
                                   parsed->record},
                                  out, err);

    // The sheets are laid out as on a standard screen, whatever this machine's screen is.
    const platform::ScreenResolutionOverride standardScreen(platform::screenDpi);
    // The loader's warnings (header, UTF-8, unprintable tiles) go to the terminal.
    timetable::Timetable table([&err](const std::string &m) { toTerminal(err, m); });
    if (!loadExport(table, parsed->exportPath, err))
        return platform::ExitCode::Failure;
    const auto names = namesToPrint(table, *parsed, err);
    if (!names)
        return platform::ExitCode::Failure;

    const tilesheet::TRapFormInputs inputs = sheetInputs(*parsed, table, err);
    try {
        if (!writeSheets(table, *parsed, inputs, *names, out, err))
            return platform::ExitCode::Failure;
    } catch (const std::exception &e) {
        err << "tavleprint: " << platform::cp1252ToUtf8(e.what()) << "\n";
        return platform::ExitCode::Failure;
    }
    return platform::ExitCode::Success;
}

} // namespace cli
