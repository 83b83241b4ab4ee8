// Tavleplanner: prints timetable tiles for the board.
#include "app/guidewindow.h"
#include "app/justerform.h"
#include "app/mainform.h"
#include "app/openreport.h"
#include "app/screendescription.h"
#include "app/selectform.h"
#include "app/sheetoutput.h"
#include "app/tapplication.h"
#include "output/systemprinter.h"
#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/fonts.h"
#include "platform/printer.h"
#include "platform/sqlite.h"
#include "preview/standardpreviewinterface.h"
#include "report/services.h"
#include "tilesheet/keptmargins.h"
#include "timetable/board.h"
#include "timetable/timetable.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace {
constexpr const char *usage = "usage: tavleplanner [FILE.brp]\n"
                              "       tavleplanner --version | --help\n";

// The saved report file named on the command line (what is left after Qt has taken its own
// options), or none. False when the arguments make no sense.
bool reportFileArgument(int argc, char **argv, std::optional<std::string_view> &file)
{
    int first = 1;
    if (argc > first && std::string_view(argv[first]) == "--")
        ++first;
    else if (argc > first && argv[first][0] == '-')
        return false;
    if (argc - first > 1)
        return false;
    if (argc - first == 1)
        file = argv[first];
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    // Answered before any window exists, so that they work without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("tavleplanner " TAVLE_VERSION);
        return platform::ExitCode::Success;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return platform::ExitCode::Success;
    }
    app::TApplication application(argc, argv);
    std::optional<std::string_view> reportFile;
    if (!reportFileArgument(argc, argv, reportFile)) {
        std::fputs(usage, stderr);
        return platform::ExitCode::Usage;
    }
    app::installDanishQtTexts(application);
    if (!app::checkFontsAtStartup(platform::fontDirectory()))
        return platform::ExitCode::Failure;
    application.setFont(platform::windowFont());
    app::InstallGuideKey(application);
    app::startScreenDescriptionIfAsked(&application);

    // The process-wide printer; every print run selects its printer on it.
    platform::TPrinter printer;
    output::TBRSystemPrinter printerDevice(printer);
    // Every preview shows the standard preview window; what a preview command fails with (a
    // damaged saved file, a printer error) is shown as every other error is.
    report::TBRServices lent = preview::StandardWindowServices();
    lent.PrinterDevice = [&printerDevice]() -> output::TBRPrinterDevice * {
        return platform::TPrinter::Printers().empty() ? nullptr : &printerDevice;
    };
    lent.ErrorDisplay = &app::TApplication::ShowException;
    const report::TBRServicesScope services(std::move(lent));

    // Opened for one saved report file: its pages in the preview, and nothing else.
    if (reportFile)
        return app::OpenReportFile(std::filesystem::path(*reportFile));

    timetable::Timetable table;
    app::TMainForm mainForm(table);
    table.setMessageSink(
        [&mainForm](const std::string &message) { mainForm.appendMessage(message); });
    app::TSelectForm selectForm(table, &mainForm);
    // The margins kept for the printer the sheets go to, from the user's settings.
    const tilesheet::KeptMargins keptMargins;
    app::TJusterForm justerForm(&mainForm, &keptMargins);
    justerForm.setMessageSink(
        [&mainForm](const std::string &message) { mainForm.appendMessage(message); });
    // The record of what the prints put on the board, shared with tavleprint. Without one
    // (a data folder that cannot hold it) the program prints as before and says why.
    std::unique_ptr<timetable::TBoard> board;
    try {
        board = std::make_unique<timetable::TBoard>(
            timetable::TBoard::DefaultPath(),
            [&mainForm](const std::string &message) { mainForm.appendMessage(message); });
    } catch (const platform::ESqliteError &e) {
        mainForm.appendMessage(platform::cp1252(u8"Tavlen kan ikke noteres: ") +
                               platform::fromQString(QString::fromUtf8(e.what())) + "\r\n\r\n");
    }
    mainForm.setBoard(board.get());
    mainForm.setSelectForm(&selectForm);
    selectForm.setJusterForm(&justerForm);
    const app::SheetOutput output(table, mainForm, justerForm, &selectForm);
    selectForm.setSheetOutput(output);
    selectForm.setChangesOutput([output](app::OutputAction action, const timetable::TileDiff &diff,
                                         const std::vector<std::string> &names) {
        return output.changes(action, diff, names);
    });

    mainForm.show();
    return application.exec();
}
