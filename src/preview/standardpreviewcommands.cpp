#include "preview/standardpreview.h"

// The preview window's commands: "&Søg", "&Gem" (a saved report file or an export), "&Hent",
// "&Udskriv" and "&Indstil", and which of them can be chosen while a run, print or export goes.

#include "output/brerror.h"
#include "output/brprinter.h"
#include "output/export/exportfilterlibrary.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/pathtext.h"
#include "platform/recentfiles.h"
#include "preview/brpreview.h"
#include "preview/previewstate.h"
#include "preview/savetargets.h"
#include "preview/searchdlg.h"
#include "preview/thumbgrid.h"
#include "report/loadedprintsetup.h"
#include "report/services.h"
#include "ui_standardpreview.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScopeGuard>

namespace preview {

using output::EBRFileFailure;
using output::ExportFilterLibrary;
using output::TBRExportFilter;
using output::TBRPrinter;
using output::TOrientation;

namespace {
const QString loadFilter = QStringLiteral("Udskriftsfiler (*.brp)");

// "&Gem" and "&Hent" ask with Qt's own file dialog, found by its object name, for any name.
void prepareFileDialog(QFileDialog &dialog, const QString &objectName, QFileDialog::AcceptMode mode)
{
    dialog.setObjectName(objectName);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
}
} // namespace

void TBRStandardPreview::beginBusy()
{
    busy_ = true;
    showFileCommands();
}

// "&Gem" and "&Hent" wait for a print or an export from this window: the pages they would save
// or replace are being printed or written. "&Gem" also waits for the run: the pages it would
// save are not all there yet.
void TBRStandardPreview::showFileCommands()
{
    const QString printing = QStringLiteral("kan vælges, når udskriften er færdig");
    enableCommand(*ui_->saveReport, !busy_ && runEnded_, QStringLiteral("Gem udskriftsjob"),
                  busy_ ? printing : QStringLiteral("kan vælges, når alle sider er dannet"));
    enableCommand(*ui_->LoadReport, !busy_, QStringLiteral("Indlæs udskriftsjob"), printing);
}

void TBRStandardPreview::enableCommand(QAbstractButton &button, bool enabled, const QString &hint,
                                       const QString &waiting)
{
    button.setEnabled(enabled);
    button.setToolTip(enabled ? hint : hint + QStringLiteral(" – ") + waiting);
}

void TBRStandardPreview::endBusy()
{
    busy_ = false;
    showFileCommands();
    if (std::exchange(closeWhenIdle_, false))
        close();
}

// ---- Text search ----

bool TBRStandardPreview::AskSearchText(QString &text, bool &caseMatters)
{
    return askSearchText(this, text, caseMatters);
}

void TBRStandardPreview::FindButtonClick()
{
    QString text;
    bool caseMatters = false;
    if (!AskSearchText(text, caseMatters))
        return;
    SearchPages(text, caseMatters);
    // The results in front, and the first page found on show.
    if (ui_->Tabs->indexOf(ui_->TabSearchResult) >= 0)
        ui_->Tabs->setCurrentWidget(ui_->TabSearchResult);
    if (ui_->SearchResultBox->isEnabled() && ui_->SearchResultBox->count() > 0)
        ui_->SearchResultBox->setCurrentRow(0); // goes to its page
}

void TBRStandardPreview::ClearSearchResults()
{
    ui_->SearchResultBox->clear();
    ui_->SearchResultBox->setEnabled(false);
    ui_->SearchTextLabel->clear();
    ui_->BRPreview->SetSearchMark({}, false);
}

void TBRStandardPreview::SearchPages(const QString &text, bool caseMatters)
{
    QListWidget &list = *ui_->SearchResultBox;
    listing_ = true;
    const auto listed = qScopeGuard([this] { listing_ = false; });
    list.setEnabled(true);
    ui_->SearchTextLabel->setText(text);
    list.clear();
    const std::optional<std::string> needle = searchNeedle(text);
    if (TBRPrinter *shown = output(); shown != nullptr && needle)
        forEachPageHolding(*shown, *needle, caseMatters,
                           [&list](int page) { listFoundPage(list, page); });
    closeFoundList(list);
    // The pages shown from now on mark where the text stands.
    ui_->BRPreview->SetSearchMark(needle.value_or(std::string()), caseMatters);
}

void TBRStandardPreview::SearchResultBoxClick()
{
    const QListWidgetItem *item = ui_->SearchResultBox->currentItem();
    int n = item != nullptr ? item->data(Qt::UserRole).toInt() : 1;
    const TBRPrinter *shown = output();
    if (n < 1 || shown == nullptr || n > shown->PageNumber())
        n = 1;
    GoToPage(n);
}

// ---- Saving and exporting ----

QStringList TBRStandardPreview::SaveFilters() const
{
    return saveFilters(saveKinds(ExportFilterLibrary().Entries()));
}

std::pair<QString, int> TBRStandardPreview::SaveTarget(const QString &typed, int filterIndex)
{
    return saveTarget(saveKinds(ExportFilterLibrary().Entries()), typed, filterIndex);
}

int TBRStandardPreview::PreselectedSaveFilter() const
{
    return preselectedSaveFilter(saveKinds(ExportFilterLibrary().Entries()));
}

void TBRStandardPreview::SaveClick()
{
    QFileDialog dialog(this, QStringLiteral("Gem udskriftsjob"));
    prepareFileDialog(dialog, QStringLiteral("SaveDialog"), QFileDialog::AcceptSave);
    const QStringList filters = SaveFilters();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.at(PreselectedSaveFilter() - 1));
    // The name suggested: the teacher or class shown, or the loaded file's.
    if (const TBRPrinter *shown = output(); shown != nullptr && !shown->Title.empty()) {
        const QString title = platform::toQString(shown->Title);
        dialog.selectFile(shown->Loaded() ? QFileInfo(title).completeBaseName() : title);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // The name typed decides before the filter chosen: "aj.brp" is a saved report file whatever
    // filter stood in the list (the overwrite question came for the name as typed).
    const auto [file, filterIndex] =
        SaveTarget(dialog.selectedFiles().constFirst(),
                   static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
    if (file != dialog.selectedFiles().constFirst() && QFileInfo::exists(file) &&
        QMessageBox::question(this, QStringLiteral("Gem udskriftsjob"),
                              QStringLiteral("%1 findes allerede.\nVil du erstatte den?")
                                  .arg(QFileInfo(file).fileName())) != QMessageBox::Yes)
        return;
    SaveTo(file, filterIndex);
}

void TBRStandardPreview::SaveTo(const QString &file, int filterIndex)
{
    TBRPrinter *shown = output();
    // The command waits for the run (the pages are saved or replayed whole) and for a print.
    if (shown == nullptr || busy_ || !runEnded_)
        return;
    const auto &entries = ExportFilterLibrary().Entries();
    const std::optional<std::size_t> entry = exportFilterOf(filterIndex, entries.size());
    const std::filesystem::path path = platform::qStringToPath(file);
    try {
        if (!entry) {
            shown->SavePages(path);
            return;
        }
        const std::unique_ptr<TBRExportFilter> filter = entries[*entry].Create(path);
        beginBusy();
        const auto done = qScopeGuard([this] { endBusy(); });
        shown->ProgressOwner = this;
        if (const std::function<void(TBRExportFilter &)> runAgain = shown->OnExport)
            runAgain(*filter); // the report runs again into the filter
        else
            shown->ExportPages(*filter); // pages loaded from a file are replayed into it
    } catch (const platform::EFileNotWritten &) {
        throw; // names the file and its cause already
    } catch (const std::exception &error) {
        throw EBRFileFailure(file.toStdString(), error);
    }
}

// ---- Loading a saved report file ----

void TBRStandardPreview::LoadClick()
{
    QFileDialog dialog(this, QStringLiteral("Indlæs udskriftsjob"));
    prepareFileDialog(dialog, QStringLiteral("LoadDialog"), QFileDialog::AcceptOpen);
    dialog.setNameFilter(loadFilter);
    // It starts where the user last fetched a saved report file, with that file chosen.
    const QFileInfo last(platform::RecentFile(platform::TRecentFile::ReportFile));
    if (!last.filePath().isEmpty() && last.dir().exists()) {
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (QFileInfo(chosen).isFile())
        platform::SetRecentFile(platform::TRecentFile::ReportFile,
                                QFileInfo(chosen).absoluteFilePath());
    LoadFile(chosen);
}

void TBRStandardPreview::LoadFile(const QString &file)
{
    TBRPrinter *shown = output();
    if (shown == nullptr || busy_)
        return;
    if (!QFileInfo(file).isFile()) {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                        QStringLiteral("Filen findes ikke: %1").arg(file), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("FileDoesNotExist"));
        box.exec();
        return;
    }
    // A run still drawing into the page output is stopped, and its thread has ended, before
    // the file replaces the pages; a file that does not load leaves the window as it was.
    try {
        shown->LoadPages(platform::qStringToPath(file));
    } catch (const std::exception &error) {
        throw EBRFileFailure(file.toStdString(), error);
    }
    ClearSearchResults();
    TBRPreviewState::Instance().StatusText = platform::fromQString(QDir::toNativeSeparators(file));
    // The loaded pages are the file's: the caption and the printed job name it.
    shown->Title = platform::fromQString(QFileInfo(file).fileName());
    showTitle(shown->Title);
    refreshAfterLoad();
    report::TBRServicesScope::SetLoadedFile(true);
    enableRunCommands(true);
}

void TBRStandardPreview::enableRunCommands(bool runEnded)
{
    const QString waiting = QStringLiteral("kan vælges, når alle sider er dannet");
    enableCommand(*ui_->printSetup, runEnded, QStringLiteral("Printeropsætning"), waiting);
    enableCommand(*ui_->Print, runEnded, QStringLiteral("Udskriv"), waiting);
    runEnded_ = runEnded;
    showFileCommands();
}

void TBRStandardPreview::refreshAfterLoad()
{
    TBRPrinter *shown = output();
    if (shown == nullptr)
        return;
    TBRPreview &view = *ui_->BRPreview;
    // The window moves the thumbnail selection itself: a grid that shrinks below its selected
    // row must not navigate away from page 1.
    TBRPreviewState &state = TBRPreviewState::Instance();
    state.ThumbnailSync = true;
    const auto syncEnds = qScopeGuard([&state] { state.ThumbnailSync = false; });
    view.Image().ShowPage(1); // the pages held before are gone, whatever page was shown
    view.SetPageNumber(1);
    landscape_ = shown->Settings().Orientation() == TOrientation::Landscape;
    ThumbGridResize();
    view.ApplyZoom();
    if (shown->OutputState() != TBRPrinter::TOutputState::Finished)
        enableRunCommands(false);
    BRPreviewPageAvailable(1);
    ui_->ThumbGrid->SetRow(0);
    ShowPageInfo();
}

// ---- Printing and the print settings ----

void TBRStandardPreview::PrintClick()
{
    TBRPrinter *shown = output();
    if (shown == nullptr || busy_)
        return;
    beginBusy();
    const auto done = qScopeGuard([this] { endBusy(); });
    shown->ProgressOwner = this;
    if (!report::TBRServicesScope::LoadedFile() && !shown->Loaded() && report_ != nullptr) {
        // The report prints itself with a new run on this thread; the preview keeps its pages.
        report_->Print();
    } else {
        shown->ReplayToPrinter();
    }
}

void TBRStandardPreview::PrintSetupClick()
{
    TBRPrinter *shown = output();
    if (shown == nullptr || busy_)
        return;
    // Pages loaded from a saved file have no report to set up: the printer, the pages and the
    // copies chosen go to the page output alone, for "&Udskriv".
    if (report_ == nullptr || shown->Loaded()) {
        report::LoadedPagesPrinterSetup(*shown);
        return;
    }
    report_->PrinterSetup(*shown);
    if (shown->OutputState() != TBRPrinter::TOutputState::Finished) {
        // Another paper or orientation: the report records its pages anew, and this window
        // shows them from the first as they come.
        lastProgress_ = 0;
        panels_[0]->setText(QStringLiteral("0%"));
        refreshAfterLoad();
    }
}

} // namespace preview
