#include "app/openreport.h"

#include "app/tapplication.h"
#include "output/brerror.h"
#include "output/brprinter.h"
#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/pathtext.h"
#include "preview/previewstate.h"
#include "preview/standardpreview.h"
#include "report/services.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdint>
#include <exception>
#include <memory>

namespace app {

namespace {

void showFileDoesNotExist(const std::filesystem::path &file)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                    QString::fromUtf8(kFileDoesNotExist).arg(platform::pathToQString(file)),
                    QMessageBox::Ok);
    box.exec();
}
} // namespace

int OpenReportFile(const std::filesystem::path &file)
{
    // The file-exists test of the preview's "&Hent": a folder is no file either.
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored) || std::filesystem::is_directory(file, ignored)) {
        showFileDoesNotExist(file);
        return platform::ExitCode::Failure;
    }

    const report::TBRServices &services = report::TBRServicesScope::Current();
    output::TBRPrinterDevice *device = services.PrinterDevice ? services.PrinterDevice() : nullptr;
    // The page output outlives the window: the window lets go of it when it closes, and there
    // is no report to send the end of the preview to.
    auto pages = std::make_unique<output::TBRPrinter>(output::TPrinterSettings{}, device);
    pages->ProgressProvider = services.Progress;
    // The default printer with its driver's settings; the load then sets the paper and the
    // orientation the stored pages were recorded on. A printer that cannot be asked does not
    // keep the pages from being looked at.
    runHandler([&pages] { pages->SelectPrinter(-1); });
    try {
        pages->LoadPages(file); // refuses a FIFO or a device before it is opened
    } catch (const std::exception &error) {
        TApplication::ShowException(output::EBRFileFailure(file.string(), error));
        return platform::ExitCode::Failure;
    }

    const QFileInfo info(platform::pathToQString(file));
    // The window's caption and a print job's title name the file; the status panel shows the
    // whole file name, as after "&Hent".
    pages->Title = platform::fromQString(info.fileName());
    preview::TBRPreviewState::Instance().StatusText =
        platform::fromQString(QDir::toNativeSeparators(info.absoluteFilePath()));
    const output::TOrientation loaded = pages->Settings().Orientation();
    {
        preview::TBRStandardPreview window(output::TBRPreviewRequest{*pages, nullptr, {}, {}});
        // A window without a report turns the page output to its own orientation flag, which
        // no report has set: the orientation the file was recorded in is given back, so that
        // "&Udskriv" prints the pages the way they lie.
        if (pages->Settings().Orientation() != loaded)
            pages->Settings().SetOrientation(loaded);
        window.exec();
    }
    return platform::ExitCode::Success;
}

} // namespace app
