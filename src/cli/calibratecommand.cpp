#include "cli/calibratecommand.h"

#include "cli/commandline.h"
#include "cli/marginsoption.h"
#include "cli/reportdestination.h"
#include "cli/tavleprint.h"
#include "output/systemprinter.h"
#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "platform/units.h"
#include "report/services.h"
#include "tilesheet/calibration.h"
#include "tilesheet/calibrationsheet.h"

#include <iomanip>
#include <locale>
#include <optional>
#include <sstream>

namespace cli {
namespace {

// "8.5,12.0,9.0,20.0", as --margins takes it.
std::string list(double a, double b, double c, double d)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(1) << a << ',' << b << ',' << c << ',' << d;
    return text.str();
}

} // namespace

int runCalibrateCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::string queue;
    std::optional<tilesheet::Margins> margins;
    // It takes nothing else; an option given without its value is refused as it stands.
    const auto refused = [](const std::string &word) { return "calibrate does not take " + word; };
    const Words words{
        .options = {{"--printer", [&](const std::string &name, std::string &) { queue = name; },
                     "calibrate does not take --printer"},
                    {"--margins",
                     [&](const std::string &text, std::string &problem) {
                         tilesheet::Margins given{};
                         if (parseMargins(text, given, problem))
                             margins = given;
                     },
                     "calibrate does not take --margins"}},
        .positional = [&](const std::string &word,
                          std::string &problem) { problem = refused(word); },
        .unknown = refused,
    };
    std::string problem;
    if (!readWords(words, args, problem))
        return usageError(err, "calibrate", problem);

    const std::optional<int> index = printerIndex(queue, err);
    if (!index)
        return platform::ExitCode::Failure;
    const std::string name = queueFor(queue);
    if (!margins)
        margins = keptMarginsFor(name, err);

    // Laid out as on a standard screen, as the sheets are.
    const platform::ScreenResolutionOverride standardScreen(platform::screenDpi);
    try {
        platform::TPrinter printer;
        output::TBRSystemPrinter device(printer);
        const report::TBRServicesScope services({.PrinterDevice = [&device] { return &device; }});
        tilesheet::TCalibrationSheet sheet(*margins, name);
        sheet.Report().PrinterSettings.PrinterIndex = *index;
        sheet.Report().ShowProgress = false;
        sheet.Report().Print();
    } catch (const std::exception &e) {
        err << "tavleprint: " << platform::cp1252ToUtf8(e.what()) << "\n";
        return platform::ExitCode::Failure;
    }
    const tilesheet::OuterLines targets = tilesheet::CalibrationTargets();
    out << "printed the calibration sheet on " << platform::cp1252ToUtf8(name) << " with margins "
        << list(margins->top, margins->left, margins->bottom, margins->right)
        << " (T,L,B,R); its outer lines belong at "
        << list(targets.top, targets.left, targets.bottom, targets.right)
        << " mm from the top, left, bottom and right edges\n";
    return platform::ExitCode::Success;
}

} // namespace cli
