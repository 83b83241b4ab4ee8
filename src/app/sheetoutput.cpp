#include "app/sheetoutput.h"

#include "app/earlierexport.h"
#include "app/justerform.h"
#include "app/mainform.h"
#include "output/printerdevice.h"
#include "platform/cp1252.h"
#include "platform/printer.h"
#include "platform/sqlite.h"
#include "report/customreport.h"
#include "tilesheet/changelist.h"
#include "tilesheet/rapform.h"
#include "timetable/board.h"
#include "timetable/tilediff.h"
#include "timetable/timetable.h"

#include <QDir>
#include <memory>

namespace app {

namespace {

// "AB", "AB og BB", "AB, BB og CC".
std::string listOfNames(const std::vector<std::string> &names)
{
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            list += i + 1 == names.size() ? " og " : ", ";
        list += names[i];
    }
    return list;
}

} // namespace

tilesheet::TRapFormInputs SheetOutput::sheetInputs() const
{
    // Made for the printer a print goes to unless another is chosen: the standard one. The
    // preview's print settings may choose another, which makes the sheets again for its margins.
    tilesheet::TRapFormInputs inputs;
    tilesheet::SetMargins(inputs,
                          justerForm_.marginsFor(platform::TPrinter::StandardPrinterName()));
    inputs.MarginsForPrinter = [&justerForm = justerForm_](const std::string &printer) {
        return justerForm.marginsFor(printer);
    };
    inputs.CutFrames = mainForm_.cutFrames();
    inputs.FileName = platform::fromQString(QDir::toNativeSeparators(mainForm_.exportFilePath()));
    return inputs;
}

bool SheetOutput::operator()(OutputAction action, const std::vector<std::string> &names,
                             std::size_t index)
{
    const std::string &name = names.at(index);
    const std::vector<std::string> later(names.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                                         names.end());
    tilesheet::TRapFormInputs inputs = sheetInputs();
    inputs.PrintList = &table_.printList();
    const auto sheet = std::make_unique<tilesheet::TRapForm>(inputs);
    sheet->BRBrikker.ReportTitle = name;
    const bool several = names.size() > 1;
    if (several)
        sheet->BRBrikker.ProgressNote = "Navn " + std::to_string(index + 1) + " af " +
                                        std::to_string(names.size()) + ": " + name;
    if (index == 0)
        sheetsSent_ = 0;
    bool sent = false;
    const bool done =
        output(action, sheet->BRBrikker,
               {"Brikkerne for " + name, "brikkerne for " + name,
                later.empty() ? std::string() : "Brikkerne for " + listOfNames(later), name},
               &sheetsSent_, &sent);
    // Recorded name by name: a later name stopped leaves the ones before it on the board.
    if (sent)
        record({name});
    if (done && several && later.empty() && action == OutputAction::Print)
        sentMessage(names.size());
    return done;
}

void SheetOutput::sentMessage(std::size_t names) const
{
    // Only a print that reached a printer counts its sheets.
    const output::TBRPrinterDevice *printer = report::TCustomBandReport::PrinterDevice();
    if (printer == nullptr || printer->PrinterName().empty())
        return;
    const bool teachers = table_.selectionMode() == timetable::SelectionMode::Teachers;
    const char8_t *kind =
        names == 1 ? (teachers ? u8"lærer" : u8"klasse") : (teachers ? u8"lærere" : u8"klasser");
    mainForm_.appendMessage(std::to_string(names) + " " + platform::cp1252(kind) + " sendt til " +
                            printer->PrinterName() + ": " + std::to_string(sheetsSent_) +
                            " ark.\r\n\r\n");
}

bool SheetOutput::changes(OutputAction action, const timetable::TileDiff &diff,
                          const std::vector<std::string> &names) const
{
    if (diff.empty()) {
        mainForm_.appendMessage(noChangesMessage());
        return true;
    }
    std::vector<std::size_t> nameStarts;
    const std::vector<const timetable::TBrik *> newTiles =
        timetable::NewTilesPrintList(diff, names, nameStarts);
    const std::string newTilesSubject = platform::cp1252(u8"De nye brikker");
    {
        tilesheet::TChangeListInputs inputs;
        inputs.Diff = &diff;
        inputs.Names = names;
        inputs.Mode = table_.selectionMode();
        inputs.EarlierFileName =
            mainForm_.earlierExport().chosen()
                ? platform::fromQString(QDir::toNativeSeparators(mainForm_.earlierExport().path))
                : platform::cp1252(table_.selectionMode() == timetable::SelectionMode::Teachers
                                       ? u8"Tavlen (lærere)"
                                       : u8"Tavlen (klasser)");
        inputs.FileName =
            platform::fromQString(QDir::toNativeSeparators(mainForm_.exportFilePath()));
        const auto list = std::make_unique<tilesheet::TChangeList>(inputs);
        bool sent = false;
        if (!output(action, list->Report(),
                    {platform::cp1252(u8"Ændringslisten"), platform::cp1252(u8"ændringslisten"),
                     newTiles.empty() ? std::string() : newTilesSubject, listOfNames(names)},
                    nullptr, &sent))
            return false;
        if (newTiles.empty()) { // only tiles to take down, as the list tells
            if (sent)
                record(names);
            return true;
        }
    }
    tilesheet::TRapFormInputs inputs = sheetInputs();
    inputs.PrintList = &newTiles;
    inputs.NameStarts = std::move(nameStarts);
    const auto sheet = std::make_unique<tilesheet::TRapForm>(inputs);
    sheet->BRBrikker.ReportTitle = "Nye brikker";
    bool sent = false;
    if (!output(action, sheet->BRBrikker,
                {newTilesSubject, platform::cp1252(u8"de nye brikker"), std::string(),
                 listOfNames(names)},
                nullptr, &sent))
        return false;
    // The list told the user to take the old tiles down: each name now holds the new file's.
    if (sent)
        record(names);
    return true;
}

void SheetOutput::record(const std::vector<std::string> &names) const
{
    timetable::TBoard *board = mainForm_.board();
    const output::TBRPrinterDevice *printer = report::TCustomBandReport::PrinterDevice();
    if (board == nullptr || names.empty())
        return;
    try {
        board->RecordPrint(table_.selectionMode(), table_, names,
                           {mainForm_.exportFilePath().toStdString(), mainForm_.exportFileHash(),
                            printer ? platform::cp1252ToUtf8(printer->PrinterName()) : "", 0});
    } catch (const platform::ESqliteError &e) {
        mainForm_.appendMessage(listOfNames(names) +
                                platform::cp1252(u8" er udskrevet, men kunne ikke noteres på "
                                                 u8"tavlen: ") +
                                platform::fromQString(QString::fromUtf8(e.what())) + "\r\n\r\n");
    }
}

bool SheetOutput::output(OutputAction action, report::TCustomBandReport &report,
                         const Subject &subject, int *sheets, bool *sent) const
{
    report.ProgressOwner = owner_;
    if (action == OutputAction::Preview) {
        report.Preview();
        if (const std::exception_ptr failure = report.RunFailure())
            std::rethrow_exception(failure);
        return true;
    }
    output::TBRPrinterDevice *printer = report::TCustomBandReport::PrinterDevice();
    if (printer == nullptr) {
        mainForm_.appendMessage(subject.asSubject +
                                platform::cp1252(u8" blev ikke udskrevet, fordi der ikke er "
                                                 u8"installeret nogen printer.\r\n\r\n"));
        return true;
    }
    const report::TCustomBandReport::TBRPrintOutcome printed = report.Print();
    if (printed.Stopped) {
        std::string message = "Udskriften af " + subject.inSentence + " blev afbrudt efter " +
                              std::to_string(printed.Pages) + " ark.\r\n\r\n";
        if (!subject.later.empty())
            message += subject.later + " blev ikke udskrevet.\r\n\r\n";
        if (mainForm_.board() != nullptr && !subject.unrecorded.empty())
            message +=
                platform::cp1252(u8"Tavlen er ikke ændret for ") + subject.unrecorded + ".\r\n\r\n";
        mainForm_.appendMessage(message);
        return false;
    }
    if (sheets != nullptr)
        *sheets += printed.Pages;
    if (sent != nullptr)
        *sent = true;
    const std::string printerName = printer->PrinterName();
    if (!printerName.empty())
        mainForm_.appendMessage(subject.asSubject + platform::cp1252(u8" er sendt til printeren ") +
                                printerName + ".\r\n\r\n");
    return true;
}

} // namespace app
