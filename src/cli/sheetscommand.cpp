#include "cli/sheetscommand.h"

#include "cli/tavleprint.h"

#include "output/brprinter.h"
#include "output/systemprinter.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "report/services.h"
#include "tilesheet/rapform.h"
#include "timetable/timetable.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <optional>
#include <sstream>

namespace cli {
namespace {

constexpr int kOk = 0, kFailure = 1, kUsage = 2;
constexpr int kStandardScreenPixelsPerInch = 96;

enum class Destination { Save, Pdf, Print };

struct SheetsArgs {
    timetable::SelectionMode mode = timetable::SelectionMode::Teachers;
    std::string exportPath;
    std::vector<std::string> names; // UTF-8, as typed
    tilesheet::TRapFormInputs inputs;
    Destination destination = Destination::Pdf;
    std::string target;  // the .brp or .pdf file
    std::string printer; // queue name for --print, empty: the default printer
};

// "TOP,LEFT,BOTTOM,RIGHT" in millimetres.
bool parseMargins(const std::string &text, tilesheet::TRapFormInputs &inputs)
{
    std::istringstream in(text);
    long double values[4];
    char comma;
    for (int i = 0; i < 4; ++i) {
        if (!(in >> values[i]) || (i < 3 && !(in >> comma && comma == ',')))
            return false;
    }
    if (!in.eof() && in.peek() != EOF)
        return false;
    inputs.TopMargin = values[0];
    inputs.LeftMargin = values[1];
    inputs.BottomMargin = values[2];
    inputs.RightMargin = values[3];
    return true;
}

std::optional<SheetsArgs> parse(const std::vector<std::string> &args, std::string &problem)
{
    SheetsArgs parsed;
    bool haveMode = false, haveDestination = false;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const auto value = [&]() -> const std::string * {
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        const auto destination = [&](Destination d) {
            if (haveDestination)
                problem = "give only one of --save, --pdf and --print";
            haveDestination = true;
            parsed.destination = d;
        };
        if (arg == "--teachers" || arg == "--classes") {
            if (haveMode)
                problem = "give only one of --teachers and --classes";
            haveMode = true;
            parsed.mode = arg == "--teachers" ? timetable::SelectionMode::Teachers
                                              : timetable::SelectionMode::Classes;
        } else if (arg == "--margins") {
            const std::string *v = value();
            if (!v || !parseMargins(*v, parsed.inputs))
                problem = "--margins takes TOP,LEFT,BOTTOM,RIGHT in millimetres";
        } else if (arg == "--cut-frames") {
            parsed.inputs.CutFrames = true;
        } else if (arg == "--save" || arg == "--pdf") {
            destination(arg == "--save" ? Destination::Save : Destination::Pdf);
            if (const std::string *v = value())
                parsed.target = *v;
            else
                problem = arg + " needs a file name";
        } else if (arg == "--print") {
            destination(Destination::Print);
        } else if (arg == "--printer") {
            if (const std::string *v = value())
                parsed.printer = *v;
            else
                problem = "--printer needs a queue name";
        } else if (arg.starts_with("--")) {
            problem = "unknown option " + arg;
        } else {
            positional.push_back(arg);
        }
        if (!problem.empty())
            return std::nullopt;
    }
    if (!haveMode)
        problem = "sheets needs --teachers or --classes";
    else if (!haveDestination)
        problem = "sheets needs one of --save, --pdf and --print";
    else if (positional.empty())
        problem = "no export file given";
    else if (parsed.destination == Destination::Save && positional.size() != 2)
        problem = "--save needs exactly one name";
    else if (!parsed.printer.empty() && parsed.destination != Destination::Print)
        problem = "--printer goes with --print";
    if (!problem.empty())
        return std::nullopt;
    parsed.exportPath = positional.front();
    parsed.names.assign(positional.begin() + 1, positional.end());
    return parsed;
}

// All names' sheets as one PDF document: the document begins with the first sheet and ends
// when every name is done; each further run's first page just starts a new page.
class PdfBook : public output::TBRPrinterDevice {
public:
    explicit PdfBook(const QString &file) { printer_.SetOutputFile(file); }
    ~PdfBook() override
    {
        if (printer_.Printing())
            printer_.Abort();
    }

    int PixelsPerInchX() const override { return printer_.PixelsPerInchX(); }
    int PixelsPerInchY() const override { return printer_.PixelsPerInchY(); }
    bool Printing() const override { return jobOpen_; }
    void SetTitle(const std::string &) override {}
    void BeginDoc() override
    {
        if (printer_.Printing())
            printer_.NewPage();
        else
            printer_.BeginDoc();
        jobOpen_ = true;
    }
    void NewPage() override { printer_.NewPage(); }
    void EndDoc() override { jobOpen_ = false; }
    void Abort() override { jobOpen_ = false; }
    platform::Canvas *Canvas() override
    {
        return printer_.Printing() ? &printer_.PrinterCanvas() : nullptr;
    }
    void ApplySettings(output::TPrinterSettings &settings) override
    {
        settings.ApplySettings(printer_);
    }
    // A file takes any paper and has no unprintable margins, whatever printer the system has.
    void SelectPrinter(int, output::TPrinterSettings &settings) override { ReadSettings(settings); }
    void ReadSettings(output::TPrinterSettings &settings) override
    {
        settings.ReadSettings(printer_);
        settings.SupportedPapers.set();
        settings.LeftOffset = settings.TopOffset = 0;
    }

    void Finish()
    {
        if (printer_.Printing())
            printer_.EndDoc();
    }

private:
    platform::TPrinter printer_;
    bool jobOpen_ = false;
};

} // namespace

int runSheetsCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::string problem;
    auto parsed = parse(args, problem);
    if (!parsed) {
        err << "tavleprint: " << problem << "\n"
            << "usage: tavleprint sheets (--teachers|--classes) EXPORT [NAME...] "
               "[--margins TOP,LEFT,BOTTOM,RIGHT] [--cut-frames]\n"
               "                        (--save FILE.brp | --pdf FILE.pdf | --print [--printer "
               "QUEUE])\n";
        return kUsage;
    }

    // The sheets are laid out as on a standard screen, whatever this machine's screen is.
    const platform::ScreenResolutionOverride standardScreen(kStandardScreenPixelsPerInch);
    timetable::Timetable table;
    try {
        table.LoadBrikker(parsed->exportPath);
    } catch (const platform::EInOutError &e) {
        err << "tavleprint: " << parsed->exportPath << ": " << fileProblem(e) << "\n";
        return kFailure;
    }
    const std::vector<std::string> listed = table.Listing(parsed->mode).names;
    std::vector<std::string> names;
    for (const std::string &typed : parsed->names) {
        const std::string name = platform::utf8ToCp1252(typed).text;
        if (std::find(listed.begin(), listed.end(), name) == listed.end()) {
            err << "tavleprint: " << typed << ": no such "
                << (parsed->mode == timetable::SelectionMode::Teachers ? "teacher" : "class")
                << " in " << parsed->exportPath << "\n";
            return kFailure;
        }
        names.push_back(name);
    }
    if (names.empty())
        names = listed;

    tilesheet::TRapFormInputs inputs = parsed->inputs;
    inputs.FileName = platform::fromQString(
        QFileInfo(QString::fromStdString(parsed->exportPath)).absoluteFilePath());
    inputs.PrintList = &table.printList();

    try {
        switch (parsed->destination) {
        case Destination::Save: {
            table.BuildPrintList(names.front());
            tilesheet::TRapForm sheet(inputs);
            sheet.BRBrikker.Preview(); // no preview window: the run records and keeps the pages
            if (sheet.BRBrikker.RunFailure())
                std::rethrow_exception(sheet.BRBrikker.RunFailure());
            sheet.BRBrikker.PageOutput()->SavePages(parsed->target);
            break;
        }
        case Destination::Pdf: {
            PdfBook book(QString::fromStdString(parsed->target));
            for (const std::string &name : names) {
                table.BuildPrintList(name);
                tilesheet::TRapForm sheet(inputs);
                sheet.BRBrikker.SetPageOutput(
                    std::make_unique<output::TBRPrinter>(output::TPrinterSettings{}, &book));
                sheet.BRBrikker.PageOutput()->Destination =
                    output::TBRPrinter::TDestination::Printer;
                sheet.BRBrikker.ShowProgress = false;
                sheet.BRBrikker.RunReport();
            }
            book.Finish();
            break;
        }
        case Destination::Print: {
            const auto queues = platform::TPrinter::Printers();
            if (queues.empty()) {
                err << "tavleprint: no printer is installed\n";
                return kFailure;
            }
            int index = -1;
            if (!parsed->printer.empty()) {
                const auto it = std::find(queues.begin(), queues.end(), parsed->printer);
                if (it == queues.end()) {
                    err << "tavleprint: " << parsed->printer << ": no such printer\n";
                    return kFailure;
                }
                index = static_cast<int>(it - queues.begin());
            }
            platform::TPrinter printer;
            output::TBRSystemPrinter device(printer);
            const report::TBRServicesScope services(
                {.PrinterDevice = [&device] { return &device; }});
            for (const std::string &name : names) {
                table.BuildPrintList(name);
                tilesheet::TRapForm sheet(inputs);
                sheet.BRBrikker.PrinterSettings.PrinterIndex = index;
                sheet.BRBrikker.ShowProgress = false;
                sheet.BRBrikker.ReportTitle = name;
                sheet.BRBrikker.Print();
                out << "printed " << platform::cp1252ToUtf8(name) << "\n";
            }
            break;
        }
        }
    } catch (const std::exception &e) {
        err << "tavleprint: " << platform::cp1252ToUtf8(e.what()) << "\n";
        return kFailure;
    }
    return kOk;
}

} // namespace cli
