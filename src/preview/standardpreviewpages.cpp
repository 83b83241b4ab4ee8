#include "preview/standardpreview.h"

// Moving through the pages of the preview window: the page shown and its information, zoom,
// the thumbnails, the run's progress and the page keys.

#include "output/brprinter.h"
#include "output/pagepaint.h"
#include "platform/cp1252.h"
#include "platform/rounding.h"
#include "preview/brpreview.h"
#include "preview/previewstate.h"
#include "preview/thumbgrid.h"
#include "ui_standardpreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>

namespace preview {

using output::FetchPage;
using output::PaintPage;
using output::TBRPrinter;
using output::TOrientation;
using output::TPrinterSettings;

namespace {
// The progress figure is rewritten only when it has grown by this much.
constexpr int progressStep = 5;
constexpr long double zoomInFactor = 1.25L;
constexpr long double zoomOutFactor = 0.8L;
// Zooms the buttons and the mouse reach lie strictly between these.
constexpr int buttonZoomBelow = 10;
constexpr int buttonZoomAbove = 400;
// The paper of a view without a page output: A4 in native units.
constexpr long double a4Width = 2100, a4Length = 2970;
} // namespace

void TBRStandardPreview::ShowPageInfo()
{
    if (TBRPrinter *shown = output()) {
        panels_[1]->setText(QStringLiteral("Side %1 af %2")
                                .arg(ui_->BRPreview->PageNumber())
                                .arg(shown->PageNumber()));
        // The page field follows the page shown, but not under a number being typed.
        QSpinBox &field = *ui_->PageField;
        const QSignalBlocker quiet(field);
        if (!field.hasFocus() || field.value() != ui_->BRPreview->PageNumber()) {
            field.setMaximum(std::max(1, shown->PageNumber()));
            field.setValue(ui_->BRPreview->PageNumber());
        } else if (field.maximum() < shown->PageNumber()) {
            field.setMaximum(shown->PageNumber());
        }
    }
    panels_[2]->setText(platform::toQString(TBRPreviewState::Instance().StatusText));
}

void TBRStandardPreview::GoToPage(int n)
{
    ui_->BRPreview->SetPageNumber(n);
    ShowPageInfo();
    const TBRPrinter *shown = output();
    if (shown != nullptr && n >= 1 && n <= shown->PageNumber()) {
        TBRPreviewState &state = TBRPreviewState::Instance();
        state.ThumbnailSync = true;
        ui_->ThumbGrid->SetRow(n - 1);
        state.ThumbnailSync = false;
    }
}

void TBRStandardPreview::PrevPageClick() { GoToPage(ui_->BRPreview->PageNumber() - 1); }

void TBRStandardPreview::NextPageClick() { GoToPage(ui_->BRPreview->PageNumber() + 1); }

void TBRStandardPreview::FirstPageClick() { GoToPage(1); }

void TBRStandardPreview::LastPageClick()
{
    if (const TBRPrinter *shown = output())
        GoToPage(shown->PageNumber());
}

void TBRStandardPreview::btnZoomClick(QAbstractButton *sender)
{
    QCoreApplication::processEvents();
    TBRPreview &view = *ui_->BRPreview;
    const long double factor = sender == ui_->btnZoomIn ? zoomInFactor : zoomOutFactor;
    const auto z = static_cast<int>(platform::roundHalfEven(view.Zoom() * factor));
    if (z > buttonZoomBelow && z < buttonZoomAbove)
        view.SetZoom(z);
    view.ApplyZoom();
}

void TBRStandardPreview::ZoomToFitClick()
{
    QCoreApplication::processEvents();
    ui_->BRPreview->ZoomToFit();
}

void TBRStandardPreview::BRPreviewMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        btnZoomClick(ui_->btnZoomIn);
    else if (button == Qt::RightButton)
        btnZoomClick(ui_->btnZoomOut);
    else if (button == Qt::MiddleButton)
        ZoomToFitClick();
}

void TBRStandardPreview::BRPreviewPageAvailable(int)
{
    ShowPageInfo();
    TBRPrinter *shown = output();
    if (shown == nullptr)
        return;
    ui_->ThumbGrid->SetRowCount(shown->PageNumber());
    ui_->ThumbGrid->viewport()->update();
    if (shown->OutputState() == TBRPrinter::TOutputState::Finished) {
        enableRunCommands(true);
        panels_[0]->clear(); // the run is over, whichever progress messages were missed
    }
}

void TBRStandardPreview::BRPreviewProgressUpdate(int progress)
{
    if (progress >= lastProgress_ + progressStep) {
        panels_[0]->setText(QStringLiteral("%1%").arg(progress));
        lastProgress_ = progress;
    }
    if (progress == 0 || progress == 100)
        panels_[0]->clear();
}

void TBRStandardPreview::ThumbGridResize()
{
    // The unturned paper: the thumbnail takes the shape of the page as it is turned.
    long double paperWidth = a4Width, paperLength = a4Length;
    if (TBRPrinter *shown = output()) {
        const TPrinterSettings &settings = shown->Settings();
        const bool turned = settings.Orientation() == TOrientation::Landscape;
        paperWidth = turned ? settings.PaperLength() : settings.PaperWidth();
        paperLength = turned ? settings.PaperWidth() : settings.PaperLength();
    }
    ui_->ThumbGrid->fitPaper(paperWidth, paperLength, landscape_);
}

int TBRStandardPreview::ThumbWidth() const { return ui_->ThumbGrid->thumbWidth(); }

int TBRStandardPreview::ThumbHeight() const { return ui_->ThumbGrid->thumbHeight(); }

void TBRStandardPreview::ThumbGridDrawCell(QPainter &painter, const QRect &cell, int row,
                                           bool selected)
{
    const TBRThumbGrid &grid = *ui_->ThumbGrid;
    grid.paintCellBackground(painter, cell, selected);
    if (TBRPrinter *shown = output()) {
        // Fetched for this paint only and dropped at once: thumbnails hold no pages.
        if (const std::unique_ptr<platform::TMetafile> page = FetchPage(*shown, row + 1))
            PaintPage(page.get(), painter, grid.pageRect(cell), true);
    }
    grid.paintPageNumber(painter, cell, row);
}

void TBRStandardPreview::ThumbGridSelectCell(int row)
{
    if (TBRPreviewState::Instance().ThumbnailSync)
        return;
    ui_->BRPreview->SetPageNumber(row + 1);
    ShowPageInfo();
}

bool TBRStandardPreview::FormKeyDown(QKeyEvent *event)
{
    TBRPreview &view = *ui_->BRPreview;
    const int step = TBRPreview::LineStep;
    switch (event->key()) {
    case Qt::Key_Escape:
        ExitClick();
        return true;
    case Qt::Key_PageUp:
        if (event->modifiers() == Qt::ControlModifier)
            FirstPageClick();
        else
            PrevPageClick();
        break;
    case Qt::Key_PageDown:
        if (event->modifiers() == Qt::ControlModifier)
            LastPageClick();
        else
            NextPageClick();
        break;
    case Qt::Key_Home:
        FirstPageClick();
        break;
    case Qt::Key_End:
        LastPageClick();
        break;
    case Qt::Key_Up:
        if (view.VerticalPosition() - step > 0) {
            view.SetVerticalPosition(view.VerticalPosition() - step);
        } else {
            PrevPageClick();
            view.SetVerticalPosition(view.VerticalRange() - view.height() - step);
        }
        break;
    case Qt::Key_Down:
        if (view.VerticalPosition() + step < view.VerticalRange() - view.height())
            view.SetVerticalPosition(view.VerticalPosition() + step);
        else
            NextPageClick();
        break;
    default:
        break;
    }
    return false;
}

bool TBRStandardPreview::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees keys before its controls. A key travels from the focused control up to
    // its parents; it is taken once, where it starts.
    if (event->type() == QEvent::KeyPress && !closed_) {
        QWidget *receiver = QApplication::focusWidget();
        if (receiver == nullptr)
            receiver = this;
        // The page field keeps its own keys (digits, arrows, Enter); Esc still closes.
        const bool fieldKey =
            receiver == ui_->PageField && static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape;
        if (watched == receiver && receiver->window() == this && !fieldKey)
            return FormKeyDown(static_cast<QKeyEvent *>(event));
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace preview
