#include "output/brprinter.h"

#include "output/brerror.h"
#include "output/brmessage.h"
#include "output/export/exportfilter.h"
#include "platform/rounding.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <utility>

namespace output {

namespace {
constexpr double mmPerPaperGuessStep = 4;
constexpr platform::TLength paperGuessStep = platform::TLength::fromMm(mmPerPaperGuessStep);
} // namespace

TBRPrinter::TBRPrinter(const TPrinterSettings &reportSettings, TBRPrinterDevice *device)
    : device_(device), screenPixelsPerInch_(platform::screenPixelsPerInch())
{
    settings_.UseStandardprinter = reportSettings.UseStandardprinter;
    settings_.MemoryLimit = reportSettings.MemoryLimit;
    if (device_)
        device_->ReadSettings(settings_);
    TopWaste = settings_.TopOffset;
    LeftWaste = settings_.LeftOffset;
    HorizontalFactor = DefaultFactor;
    VerticalFactor = DefaultFactor;
}

TBRPrinter::~TBRPrinter()
{
    if (state_ != TOutputState::Idle)
        Reset();
    // A view that still shows this page output lets go of it and gets no more messages.
    TBRPageOutputView *view = nullptr;
    {
        const std::lock_guard lock(clientMutex_);
        view = std::exchange(view_, nullptr);
        client_ = nullptr;
    }
    if (view != nullptr)
        view->PageOutputDestroyed(*this);
}

void TBRPrinter::ReplayToPrinter()
{
    if (ReportLink && !loaded_ && !settings_.PrintMetaFile) {
        if (state_ == TOutputState::Finished)
            ReportLink->PrintLater();
        return;
    }
    if (state_ != TOutputState::Finished || !device_ || replaying_)
        return;
    const int first = settings_.FirstPage != 0 ? settings_.FirstPage : 1;
    const int last = settings_.LastPage != 0 ? settings_.LastPage : pageList_.PageCount();
    replay(*device_, settings_, first, last);
}

bool TBRPrinter::ExportPages(TBRExportFilter &filter)
{
    if (state_ != TOutputState::Finished)
        throw EBRError(msgNotReady);
    if (replaying_)
        return false;
    // The whole paper goes into the file: a file has no unprintable margins.
    TPrinterSettings settings = settings_;
    filter.ReadSettings(settings);
    if (!replay(filter, settings, 1, pageList_.PageCount())) {
        filter.Abort(); // an export stopped from the progress window leaves no file
        return false;
    }
    filter.Finish();
    return true;
}

bool TBRPrinter::replay(TBRPrinterDevice &device, TPrinterSettings &settings, int first, int last)
{
    replaying_ = true; // a second request while this one runs does nothing
    const auto replayEnds = qScopeGuard([this] { replaying_ = false; });
    cancelled_ = false; // an "Afbryd" of an earlier replay or run does not stop this one
    device.SetTitle(Title);
    if (device.Printing())
        device.Abort();
    device.ApplySettings(settings);
    device.BeginDoc();

    // The sheet's corner lies at the physical offset outside the printable area, exactly as
    // when the report draws on the printer itself.
    using platform::TLength;
    const auto [paperWidth, paperLength] =
        PagePaper ? PagePaper()
                  : std::pair{TLength::fromNative(settings.PaperWidth()),
                              TLength::fromNative(settings.PaperLength())};
    const int dpiX = device.PixelsPerInchX(), dpiY = device.PixelsPerInchY();
    const auto pixels = [](TLength length, int dpi) {
        return static_cast<int>(length.roundedPixels(dpi));
    };
    const TLength left = TLength::fromNative(settings.LeftOffset);
    const TLength top = TLength::fromNative(settings.TopOffset);
    const platform::TRect target{-pixels(left, dpiX), -pixels(top, dpiY),
                                 pixels(paperWidth - left, dpiX), pixels(paperLength - top, dpiY)};

    std::unique_ptr<TBRProgressView> progress = OpenProgress(true);
    const auto endDocument = qScopeGuard([&] {
        progress.reset();
        if (device.Printing())
            device.EndDoc();
    });
    for (int i = first; i <= last; ++i) {
        QCoreApplication::processEvents();
        SetProgress(static_cast<int>(
            platform::roundHalfEven((i - first + 1) * 100.0L / (last - first + 1))));
        if (const std::unique_ptr<platform::TMetafile> page = GetPage(i))
            device.StretchPage(*page, target);
        if (i < last)
            device.NewPage();
        if (cancelled_) {
            device.Abort(); // after the page being printed, no further page
            return false;
        }
    }
    return true;
}

std::unique_ptr<TBRProgressView> TBRPrinter::OpenProgress(bool show)
{
    return ProgressProvider ? ProgressProvider(*this, ProgressOwner, show) : nullptr;
}

void TBRPrinter::SelectPrinter(int index)
{
    if (device_)
        device_->SelectPrinter(index, settings_);
}

void TBRPrinter::SelectPrinterKeepingPaper(int index)
{
    const TPrinterSettings kept = settings_;
    SelectPrinter(index);
    settings_.CustomWidth = kept.CustomWidth;
    settings_.CustomLength = kept.CustomLength;
    settings_.SetPaperSize(kept.PaperSize());
    settings_.SetOrientation(kept.Orientation());
}

platform::Canvas *TBRPrinter::PageCanvas()
{
    if (recording_)
        return recording_.get();
    return printerCanvas_;
}

void TBRPrinter::post(QEvent::Type type, int wParam)
{
    std::lock_guard lock(clientMutex_);
    if (client_)
        postMessage(client_, type, wParam);
}

void TBRPrinter::SetProgress(int percent)
{
    progress_ = percent;
    post(msgProgress, percent);
}

void TBRPrinter::SetAvailablePageCount(int count)
{
    available_ = count;
    post(msgPageAvailable, count);
}

void TBRPrinter::SetClient(QObject *client)
{
    std::lock_guard lock(clientMutex_);
    client_ = client;
}

QObject *TBRPrinter::Client() const
{
    std::lock_guard lock(clientMutex_);
    return client_;
}

void TBRPrinter::SetView(TBRPageOutputView *view)
{
    std::lock_guard lock(clientMutex_);
    view_ = view;
}

TBRPageOutputView *TBRPrinter::View() const
{
    std::lock_guard lock(clientMutex_);
    return view_;
}

void TBRPrinter::SetBeingPreviewed(bool on)
{
    const bool was = beingPreviewed_.exchange(on);
    if (was && !on) {
        if (state_ == TOutputState::Running)
            CancelJob();
        if (OnAfterPreview)
            OnAfterPreview();
    }
}

void TBRPrinter::StartJob()
{
    // Refused before anything changes: a job in progress keeps its current page.
    if (state_ != TOutputState::Idle)
        throw EBRError(msgNotReady);
    if (Destination == TDestination::Printer && !device_)
        throw EBRError(msgNotReady);
    recording_.reset();
    printerCanvas_ = nullptr;
    available_ = 0;
    cancelled_ = false;
    if (Destination == TDestination::Printer) {
        device_->ApplySettings(settings_);
        TopWaste = settings_.TopOffset;
        LeftWaste = settings_.LeftOffset;
    } else {
        TopWaste = 0;
        LeftWaste = 0;
    }
    pagesInJob_ = 0;
    pageNumber_ = 0;
    loaded_ = false;
    if (Destination == TDestination::Record) {
        pageList_.SetStream(std::make_unique<TBRStream>(settings_.MemoryLimit));
        pageList_.SetCompression(Compression);
        HorizontalFactor = screenFactor();
        VerticalFactor = screenFactor();
    } else {
        HorizontalFactor = platform::TLength::pixelsPerNative(device_->PixelsPerInchX());
        VerticalFactor = platform::TLength::pixelsPerNative(device_->PixelsPerInchY());
        if (HorizontalFactor < MinimumFactor)
            HorizontalFactor = DefaultFactor;
        if (VerticalFactor < MinimumFactor)
            VerticalFactor = DefaultFactor;
    }
    state_ = TOutputState::Running;
}

bool TBRPrinter::insideRange(int page) const
{
    return (settings_.FirstPage < 1 || page >= settings_.FirstPage) &&
           (settings_.LastPage < 1 || page <= settings_.LastPage);
}

void TBRPrinter::storeCurrentPage()
{
    if (!recording_)
        return;
    const platform::TMetafile page = recording_->finish();
    recording_.reset();
    if (Destination == TDestination::Record)
        pageList_.AddPage(page);
}

void TBRPrinter::NewPage()
{
    if (state_ != TOutputState::Running)
        throw EBRError(msgIllegalNewPage);
    if (pagesInJob_ > 0) {
        if (Destination == TDestination::Record) {
            storeCurrentPage();
        } else if (insideRange(pageNumber_)) {
            if (device_->Printing() && pageNumber_ != settings_.LastPage)
                device_->NewPage();
        } else {
            recording_.reset(); // the scratch page of a page outside the range
        }
        SetAvailablePageCount(available_ + 1);
    }
    ++pageNumber_;
    ++pagesInJob_;
    if (Destination == TDestination::Record || !insideRange(pageNumber_))
        startRecordedPage();
    else
        startPrinterPage();
}

void TBRPrinter::startRecordedPage()
{
    printerCanvas_ = nullptr;
    const int width = ToDeviceWidth(settings_.PaperWidth());
    const int height = ToDeviceHeight(settings_.PaperLength());
    recording_ = std::make_unique<platform::EmfCanvas>(width, height, screenPixelsPerInch_);
    HorizontalFactor = screenFactor();
    VerticalFactor = screenFactor();
}

void TBRPrinter::startPrinterPage()
{
    recording_.reset();
    if (!device_->Printing()) {
        device_->SetTitle(Title);
        device_->BeginDoc();
    }
    printerCanvas_ = device_->Canvas();
    HorizontalFactor = platform::TLength::pixelsPerNative(device_->PixelsPerInchX());
    VerticalFactor = platform::TLength::pixelsPerNative(device_->PixelsPerInchY());
    if (VerticalFactor < MinimumFactor)
        VerticalFactor = 1.0L;
}

void TBRPrinter::FinishJob()
{
    if (state_ != TOutputState::Running)
        return;
    if (Destination == TDestination::Printer) {
        if (device_->Printing())
            device_->EndDoc();
        recording_.reset();
    } else if (pageNumber_ > 0) {
        storeCurrentPage();
    }
    printerCanvas_ = nullptr;
    state_ = TOutputState::Finished;
    SetAvailablePageCount(available_ + 1);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (Destination == TDestination::Record) {
        auto lock = pageList_.Lock();
        pageList_.WriteHeader();
    } else if (OnAfterPrint) {
        OnAfterPrint();
    }
}

void TBRPrinter::AbortJob()
{
    if (Destination == TDestination::Printer) {
        if (device_ && device_->Printing())
            device_->Abort();
        recording_.reset();
    } else if (recording_) {
        if (FeedsExportFilter)
            recording_.reset();
        else
            storeCurrentPage();
    }
    printerCanvas_ = nullptr;
    state_ = TOutputState::Finished;
    // The header is rewritten with the true count, so that an abandoned store saves right.
    if (Destination == TDestination::Record && pageList_.Stream() && pageList_.PageCount() > 0) {
        auto lock = pageList_.Lock();
        pageList_.WriteHeader();
    }
}

void TBRPrinter::Reset()
{
    if (state_ == TOutputState::Running)
        CancelJob();
    recording_.reset();
    printerCanvas_ = nullptr;
    pageList_.Clear();
    pageNumber_ = 0;
    state_ = TOutputState::Idle;
}

std::unique_ptr<platform::TMetafile> TBRPrinter::GetPage(int n)
{
    const TOutputState state = state_;
    if (state == TOutputState::Idle || n < 1 || n > pageNumber_)
        return nullptr;
    return pageList_.GetPage(n);
}

void TBRPrinter::LoadPages(const std::filesystem::path &file)
{
    // The file is read and checked whole before anything shown now is given up: a damaged file
    // leaves the pages, and a run still drawing them, as they were.
    TBRPageList loaded;
    loaded.LoadFromFile(file);

    // A run of the linked report that still draws into this page output on another thread (or
    // is about to start there) is stopped first, and its thread has ended when the send
    // returns: the pages it draws are about to go.
    if (ReportLink != nullptr) {
        ReportLink->StopRun(*this);
    }
    if (state_ != TOutputState::Idle)
        Reset();
    pageList_.TakeFrom(loaded);
    pageNumber_ = pageList_.PageCount();
    HorizontalFactor = screenFactor();
    VerticalFactor = screenFactor();
    if (pageNumber_ >= 1) {
        const std::unique_ptr<platform::TMetafile> first = pageList_.GetPage(1);
        guessPaper(*first);
    }
    available_ = pageNumber_.load();
    state_ = TOutputState::Finished;
    OnPrinterSetup = nullptr;
    OnExport = nullptr;
    loaded_ = true;
}

void TBRPrinter::guessPaper(const platform::TMetafile &page)
{
    // The page's size in native units, from its frame (hundredths of a millimetre), so that
    // a file recorded on a screen of another resolution is measured the same.
    const platform::TRect &frame = page.header().Frame;
    using platform::TLength;
    const TLength width =
        TLength::fromHundredthsMm(static_cast<long long>(frame.Right) - frame.Left);
    const TLength length =
        TLength::fromHundredthsMm(static_cast<long long>(frame.Bottom) - frame.Top);
    const int w = static_cast<int>(width.native() / paperGuessStep.native());
    const int h = static_cast<int>(length.native() / paperGuessStep.native());
    for (int size = 1; size <= paperGuessLastRow; ++size) {
        const int tw = static_cast<int>(paperTable[size].Width / mmPerPaperGuessStep);
        const int tl = static_cast<int>(paperTable[size].Length / mmPerPaperGuessStep);
        if (tw == w && tl == h) {
            settings_.SetPaperSize(size);
            settings_.SetOrientation(TOrientation::Portrait);
        }
        if (tw == h && tl == w) {
            settings_.SetPaperSize(size);
            settings_.SetOrientation(TOrientation::Landscape);
        }
    }
}

void TBRPrinter::SavePages(const std::filesystem::path &file)
{
    if (state_ != TOutputState::Finished)
        return;
    pageList_.SaveToFile(file);
}

} // namespace output
