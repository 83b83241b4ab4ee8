#include "preview/standardpreview.h"

#include "output/brerror.h"
#include "output/brprinter.h"
#include "output/export/exportfilterlibrary.h"
#include "output/pagepaint.h"
#include "output/pagesearch.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/fonts.h"
#include "platform/recentfiles.h"
#include "platform/rounding.h"
#include "preview/brpreview.h"
#include "preview/searchdlg.h"
#include "preview/standardpreviewinterface.h"
#include "preview/thumbgrid.h"
#include "report/loadedprintsetup.h"
#include "report/services.h"
#include "ui_standardpreview.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <map>

namespace preview {

using output::EBRFileFailure;
using output::ExportFilterLibrary;
using output::FetchPage;
using output::PageContainsText;
using output::PaintPage;
using output::StandardExportFilters;
using output::TBRExportFilter;
using output::TBRExportFilterLibraryEntry;
using output::TBRExportFilterRegistration;
using output::TBRPreviewRequest;
using output::TBRPreviewSettings;
using output::TBRPrinter;
using output::TBRZoomState;
using output::TFormStyle;
using output::TOrientation;
using output::TPrinterSettings;
using output::TWindowState;

namespace {
const QString caption = QStringLiteral("Udskriftsvisning : ");
constexpr int defaultWindowSize = 500;
constexpr int tabsWidth = 142;
// The status panels: progress, page information, the preview status text.
constexpr int panelWidths[3] = {40, 120, 50};
const char *const panelRoles[3] = {"Fremskridt", "Sideinformation", "Status"};
// The progress figure is rewritten only when it has grown by this much.
constexpr int progressStep = 5;
constexpr long double zoomInFactor = 1.25L;
constexpr long double zoomOutFactor = 0.8L;
// Zooms the buttons and the mouse reach lie strictly between these.
constexpr int buttonZoomBelow = 10;
constexpr int buttonZoomAbove = 400;
// Thumbnails: the column is the grid less this, the thumbnail the column less this, and a
// thumbnail is painted this far inside its cell (more on the right, for the scroll bar).
constexpr int gridColumnInset = 4;
constexpr int thumbInset = 20;
constexpr int thumbCellTop = 10;
constexpr int thumbCellRight = 30;
constexpr int thumbCellBottom = 10;
// The paper of a view without a page output: A4 in native units.
constexpr long double a4Width = 2100, a4Length = 2970;
constexpr QSize glyphSize(24, 24);
const QString loadFilter = QStringLiteral("Udskriftsfiler (*.brp)");
const QString noTextFound = QStringLiteral("Ingen tekst fundet");

// A button glyph from the desktop's icon theme (freedesktop names), else the program's own.
QIcon previewGlyph(const QString &name)
{
    QIcon own;
    own.addFile(QStringLiteral(":/preview/%1.png").arg(name), glyphSize);
    own.addFile(QStringLiteral(":/preview/%1@2x.png").arg(name), glyphSize * 2);
    return QIcon::fromTheme(name, own);
}
} // namespace

TBRStandardPreview::TBRStandardPreview(const TBRPreviewRequest &request, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TBRStandardPreview>())
{
    setFont(platform::windowFont());
    ui_->setupUi(this);
    FormCreate();

    report_ = request.Report;
    QSize size(defaultWindowSize, defaultWindowSize);
    if (report_ != nullptr)
        takeReportSettings(request, size);
    resize(size);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowState(initialState_);

    showPageOutput(request.Output);
    arrangeTabs(request.Output.PageNumber());
    applyInitialZoom();
    if (request.Output.OutputState() == TBRPrinter::TOutputState::Finished) {
        enableRunCommands(true);
        // The run's last progress message went out before this window was there to show it.
        panels_[0]->clear();
    }
    ShowPageInfo();
    ui_->BRPreview->setFocus();
    QApplication::instance()->installEventFilter(this);
}

TBRStandardPreview::~TBRStandardPreview()
{
    QApplication::instance()->removeEventFilter(this);
    if (!closed_)
        FormClose();
}

void TBRStandardPreview::takeReportSettings(const TBRPreviewRequest &request, QSize &size)
{
    const TBRPreviewSettings &settings = request.Settings;
    if (settings.PrevFormStyle == TFormStyle::fsStayOnTop)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (settings.PreviewWidth > 0)
        size.setWidth(settings.PreviewWidth);
    if (settings.PreviewHeight > 0)
        size.setHeight(settings.PreviewHeight);
    initialState_ = settings.PreviewInitialState == TWindowState::wsMaximized ? Qt::WindowMaximized
                    : settings.PreviewInitialState == TWindowState::wsMinimized
                        ? Qt::WindowMinimized
                        : Qt::WindowNoState;
    showThumbs_ = settings.PrevShowThumbs;
    showSearch_ = settings.PrevShowSearch;
    initialZoom_ = settings.PrevInitialZoom;
    TBRPreviewState &state = TBRPreviewState::Instance();
    state.StatusText = request.ReportTitle;
    // Preview gave the page output this title before its run started; it is written only when
    // it differs, so that the running job never sees it change.
    if (request.Output.Title != state.StatusText)
        request.Output.Title = state.StatusText;
    landscape_ = request.Landscape;
    startZoom_ = request.Zoom;
}

void TBRStandardPreview::showPageOutput(TBRPrinter &output)
{
    ui_->BRPreview->SetPageOutput(&output);
    // The progress window of a print or export started here belongs to this window: it is
    // modal, and a progress window outside it would take no clicks.
    output.ProgressOwner = this;
    // Like the title, the orientation is already the report page's; it is written only when it
    // differs, so that the run thread reads settings nobody changes under it.
    const TOrientation orientation = landscape_ ? TOrientation::Landscape : TOrientation::Portrait;
    if (output.Settings().Orientation() != orientation)
        output.Settings().SetOrientation(orientation);
    if (!output.Title.empty())
        setWindowTitle(caption + platform::toQString(output.Title));
    lastProgress_ = 0;
}

void TBRStandardPreview::arrangeTabs(int pageCount)
{
    ui_->Tabs->setVisible(showThumbs_ || showSearch_);
    ui_->FindButton->setVisible(showSearch_);
    if (!ui_->Tabs->isVisibleTo(this))
        return;
    if (pageCount > 0)
        ui_->ThumbGrid->SetRowCount(pageCount);
    if (!showThumbs_)
        ui_->Tabs->removeTab(ui_->Tabs->indexOf(ui_->TabThumbs));
    if (!showSearch_)
        ui_->Tabs->removeTab(ui_->Tabs->indexOf(ui_->TabSearchResult));
}

void TBRStandardPreview::applyInitialZoom()
{
    switch (initialZoom_) {
    case TBRZoomState::brZoomToFit:
        ui_->BRPreview->ZoomToFit();
        break;
    case TBRZoomState::brZoomToWidth:
        ui_->BRPreview->ZoomToWidth();
        break;
    case TBRZoomState::brZoomOther:
        ui_->BRPreview->SetZoom(startZoom_);
        ui_->BRPreview->ApplyZoom();
        break;
    }
}

void TBRStandardPreview::FormCreate()
{
    setSizeGripEnabled(false);
    makeStatusPanels();
    // Both tab captions stay readable: compact tabs, and no scroll arrows that would hide
    // "Søgeresultat" behind them (the pane widens instead when a font needs more room).
    ui_->Tabs->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    ui_->Tabs->setUsesScrollButtons(false);
    ui_->Splitter2->setSizes(
        {std::max(tabsWidth, ui_->Tabs->minimumSizeHint().width()), width() - tabsWidth});
    ui_->Splitter2->setStretchFactor(0, 0);
    ui_->Splitter2->setStretchFactor(1, 1);
    setGlyphs();
    ui_->BRPreview->horizontalScrollBar()->setTracking(true);
    ui_->BRPreview->verticalScrollBar()->setTracking(true);
    enableRunCommands(false);
    // The window's export filter components, in the order the save dialog lists them.
    for (TBRExportFilterLibraryEntry &entry : StandardExportFilters())
        filterComponents_.push_back(
            std::make_unique<TBRExportFilterRegistration>(ExportFilterLibrary(), std::move(entry)));
    followViews();
    connectCommands();
}

void TBRStandardPreview::makeStatusPanels()
{
    // The status bar's three panels; assistive technology reads each panel's text.
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(ui_->StatusBar);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panels_[i]->setMinimumWidth(panelWidths[i]);
        panels_[i]->setAccessibleDescription(QString::fromLatin1(panelRoles[i]));
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        if (i < 2)
            panels_[i]->setFixedWidth(panelWidths[i]);
        ui_->StatusBar->addWidget(panels_[i], i == 2 ? 1 : 0);
    }
    panels_[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panels_[0]->setText(QStringLiteral("0%"));
}

void TBRStandardPreview::setGlyphs()
{
    const std::pair<QAbstractButton *, const char *> glyphs[] = {
        {ui_->FindButton, "edit-find"},    {ui_->printSetup, "document-properties"},
        {ui_->Print, "document-print"},    {ui_->PrevPage, "go-previous"},
        {ui_->NextPage, "go-next"},        {ui_->btnZoomIn, "zoom-in"},
        {ui_->btnZoomOut, "zoom-out"},     {ui_->LoadReport, "document-open"},
        {ui_->saveReport, "document-save"}};
    for (const auto &[button, name] : glyphs) {
        button->setIcon(previewGlyph(QString::fromLatin1(name)));
        button->setIconSize(glyphSize);
        // Glyph buttons never hold the focus: the keys stay with the page.
        button->setFocusPolicy(Qt::NoFocus);
    }
}

void TBRStandardPreview::followViews()
{
    ui_->ThumbGrid->OnResize = [this] { ThumbGridResize(); };
    ui_->ThumbGrid->OnDrawCell = [this](QPainter &painter, const QRect &cell, int row,
                                        bool selected) {
        ThumbGridDrawCell(painter, cell, row, selected);
    };
    ui_->ThumbGrid->OnSelectCell = [this](int row) { ThumbGridSelectCell(row); };
    ui_->BRPreview->OnPageAvailable = [this](TBRPreview &, int n) { BRPreviewPageAvailable(n); };
    ui_->BRPreview->OnProgressUpdate = [this](TBRPreview &, int p) { BRPreviewProgressUpdate(p); };
    ui_->BRPreview->OnMouseDown = [this](TBRPreview &, Qt::MouseButton button) {
        BRPreviewMouseDown(button);
    };
    ui_->BRPreview->OnZoomApplied = [this](TBRPreview &view) {
        ui_->ZoomLabel->setText(QStringLiteral("%1 %").arg(view.Zoom()));
    };
}

void TBRStandardPreview::connectCommands()
{
    connect(ui_->btnZoomIn, &QToolButton::clicked, this, [this] { btnZoomClick(ui_->btnZoomIn); });
    connect(ui_->btnZoomOut, &QToolButton::clicked, this,
            [this] { btnZoomClick(ui_->btnZoomOut); });
    connect(ui_->PrevPage, &QToolButton::clicked, this, &TBRStandardPreview::PrevPageClick);
    // A number typed in the page field is taken with Enter (or when the field loses the focus).
    connect(ui_->PageField, &QSpinBox::valueChanged, this, [this](int n) { GoToPage(n); });
    connect(ui_->NextPage, &QToolButton::clicked, this, &TBRStandardPreview::NextPageClick);
    connect(ui_->exitButton, &QPushButton::clicked, this, &TBRStandardPreview::ExitClick);
    connect(ui_->FindButton, &QToolButton::clicked, this,
            [this] { guarded([this] { FindButtonClick(); }); });
    // A result is chosen by a click or by moving through the list with the keys.
    connect(ui_->SearchResultBox, &QListWidget::itemClicked, this,
            [this] { guarded([this] { SearchResultBoxClick(); }); });
    connect(ui_->SearchResultBox, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!listing_ && row >= 0)
            guarded([this] { SearchResultBoxClick(); });
    });
    connect(ui_->saveReport, &QToolButton::clicked, this,
            [this] { guarded([this] { SaveClick(); }); });
    connect(ui_->LoadReport, &QToolButton::clicked, this,
            [this] { guarded([this] { LoadClick(); }); });
    connect(ui_->Print, &QToolButton::clicked, this, [this] { guarded([this] { PrintClick(); }); });
    connect(ui_->printSetup, &QToolButton::clicked, this,
            [this] { guarded([this] { PrintSetupClick(); }); });
}

void TBRStandardPreview::guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        if (const auto &display = report::TBRServicesScope::Current().ErrorDisplay) {
            display(error);
        } else {
            const auto *unwritten = dynamic_cast<const platform::EFileNotWritten *>(&error);
            QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(),
                            platform::toQString(unwritten ? unwritten->Danish() : error.what()),
                            QMessageBox::Ok, this);
            box.exec();
        }
    }
}

TBRPreview &TBRStandardPreview::Preview() const { return *ui_->BRPreview; }

TBRThumbGrid &TBRStandardPreview::Thumbs() const { return *ui_->ThumbGrid; }

QString TBRStandardPreview::StatusPanel(int panel) const { return panels_[panel]->text(); }

TBRPrinter *TBRStandardPreview::output() const { return ui_->BRPreview->PageOutput(); }

void TBRStandardPreview::FormShow()
{
    // The preview opens maximised whatever the report asked; the size it was given is the size
    // it takes when the user restores it.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

void TBRStandardPreview::FormResize() { ui_->BRPreview->ApplyZoom(); }

void TBRStandardPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TBRStandardPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

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
    TBRThumbGrid &grid = *ui_->ThumbGrid;
    textHeight_ = grid.fontMetrics().height();
    const int columnWidth = grid.width() - gridColumnInset;
    thumbWidth_ = columnWidth - thumbInset;
    // The unturned paper: the thumbnail takes the shape of the page as it is turned.
    long double paperWidth = a4Width, paperLength = a4Length;
    if (TBRPrinter *shown = output()) {
        const TPrinterSettings &settings = shown->Settings();
        const bool turned = settings.Orientation() == TOrientation::Landscape;
        paperWidth = turned ? settings.PaperLength() : settings.PaperWidth();
        paperLength = turned ? settings.PaperWidth() : settings.PaperLength();
    }
    const long double height = landscape_ ? thumbWidth_ / paperLength * paperWidth
                                          : thumbWidth_ / paperWidth * paperLength;
    thumbHeight_ = static_cast<int>(platform::roundHalfEven(height));
    const auto rowHeight = static_cast<int>(platform::roundHalfEven(height - textHeight_));
    horizontalMargin_ =
        static_cast<int>(platform::roundHalfEven((columnWidth - thumbWidth_) / 2.0L));
    verticalMargin_ = static_cast<int>(platform::roundHalfEven((rowHeight - height) / 2.0L));
    grid.SetColumnWidth(columnWidth);
    grid.SetRowHeight(rowHeight);
}

void TBRStandardPreview::ThumbGridDrawCell(QPainter &painter, const QRect &cell, int row,
                                           bool selected)
{
    const QPalette &colours = ui_->ThumbGrid->palette();
    painter.fillRect(cell, selected ? colours.color(QPalette::Highlight)
                                    : colours.color(QPalette::Button));
    if (TBRPrinter *shown = output()) {
        // Fetched for this paint only and dropped at once: thumbnails hold no pages.
        if (const std::unique_ptr<platform::TMetafile> page = FetchPage(*shown, row + 1)) {
            const int left = cell.x() + horizontalMargin_, top = cell.y() + thumbCellTop;
            const int right = cell.x() + cell.width() - thumbCellRight;
            const int bottom = cell.y() + cell.height() - thumbCellBottom;
            PaintPage(page.get(), painter, QRect(left, top, right - left, bottom - top), true);
        }
    }
    painter.save();
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(colours.color(QPalette::Button));
    painter.setPen(colours.color(QPalette::ButtonText));
    painter.setFont(ui_->ThumbGrid->font());
    painter.drawText(cell.topLeft() + QPoint(0, painter.fontMetrics().ascent()),
                     QString::number(row + 1));
    painter.restore();
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

void TBRStandardPreview::ExitClick() { close(); }

void TBRStandardPreview::done(int result)
{
    // A print, replay or export started here still runs on this window's page output: the
    // window closes when it has ended. A replay stops after the page being printed.
    if (busy_) {
        closeWhenIdle_ = true;
        if (TBRPrinter *shown = output())
            shown->CancelJob();
        return;
    }
    if (!closed_)
        FormClose();
    QDialog::done(result);
}

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

void TBRStandardPreview::FormClose()
{
    closed_ = true;
    if (TBRPrinter *shown = output(); shown != nullptr && shown->ProgressOwner == this)
        shown->ProgressOwner = nullptr;
    // The report releases the page output before the send returns (a running job is cancelled
    // and its thread has ended by then); the view has let go of it when it went.
    if (TBRPrinter *shown = output(); shown != nullptr && report_ != nullptr) {
        report_->EndPreview(*shown);
    }
    // Pages that no report stands behind: the view lets go of them itself.
    if (output() != nullptr)
        ui_->BRPreview->SetPageOutput(nullptr);
    QCoreApplication::processEvents();
}

// ---- Text search ----

bool TBRStandardPreview::AskSearchText(QString &text, bool &caseMatters)
{
    TSearchDlg dialog(this);
    dialog.exec();
    if (dialog.Cancelled())
        return false;
    text = dialog.Text();
    caseMatters = dialog.CaseMatters();
    return true;
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
    // A character without a Windows-1252 form is on no page.
    const std::string needle = platform::fromQString(text, '\0');
    const bool searchable = needle.find('\0') == std::string::npos;
    if (TBRPrinter *shown = output(); shown != nullptr && searchable) {
        for (int i = 1; i <= shown->PageNumber(); ++i) {
            // Fetched for the search only and dropped at once: memory stays flat.
            const std::unique_ptr<platform::TMetafile> page = FetchPage(*shown, i);
            if (page != nullptr && PageContainsText(needle, *page, caseMatters)) {
                auto *item = new QListWidgetItem(QStringLiteral("Side %1").arg(i), &list);
                item->setData(Qt::UserRole, i);
            }
        }
    }
    if (list.count() == 0) {
        list.addItem(noTextFound);
        list.setEnabled(false);
    }
    // The pages shown from now on mark where the text stands.
    ui_->BRPreview->SetSearchMark(searchable ? needle : std::string(), caseMatters);
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

namespace {

// The save dialog's entry of an export filter, in the words of this desktop: the engine's own
// names are English ("PDF document"); the extensions a typed name may end in, the first added.
struct SaveKind {
    QString name;
    QStringList extensions;
};

SaveKind saveKindOf(const TBRExportFilterLibraryEntry &entry)
{
    static const std::map<std::string, SaveKind> danish = {
        {"TBRPDFDocumentFilter", {QStringLiteral("PDF-dokument"), {QStringLiteral("pdf")}}},
        {"TBRXLSFilter", {QStringLiteral("Excel-regneark"), {QStringLiteral("xlsx")}}},
        {"TBRGHTMLDocumentFilter",
         {QStringLiteral("HTML-dokument"), {QStringLiteral("htm"), QStringLiteral("html")}}}};
    if (const auto known = danish.find(entry.ClassName); known != danish.end())
        return known->second;
    return {platform::toQString(entry.Name), {platform::toQString(entry.Extension).toLower()}};
}

std::vector<SaveKind> saveKinds()
{
    std::vector<SaveKind> kinds{{QStringLiteral("Udskriftsfiler"), {QStringLiteral("brp")}}};
    for (const TBRExportFilterLibraryEntry &entry : ExportFilterLibrary().Entries())
        kinds.push_back(saveKindOf(entry));
    return kinds;
}

} // namespace

QStringList TBRStandardPreview::SaveFilters() const
{
    QStringList filters;
    for (const SaveKind &kind : saveKinds())
        filters << QStringLiteral("%1 (*.%2)").arg(kind.name, kind.extensions.constFirst());
    return filters;
}

std::pair<QString, int> TBRStandardPreview::SaveTarget(const QString &typed, int filterIndex)
{
    const std::vector<SaveKind> kinds = saveKinds();
    const QString suffix = QFileInfo(typed).suffix().toLower();
    for (std::size_t k = 0; k < kinds.size() && !suffix.isEmpty(); ++k)
        if (kinds[k].extensions.contains(suffix))
            return {typed, static_cast<int>(k) + 1}; // the name says what it is
    const auto chosen = static_cast<std::size_t>(std::clamp<int>(filterIndex, 1, kinds.size()));
    return {typed + QLatin1Char('.') + kinds[chosen - 1].extensions.constFirst(),
            static_cast<int>(chosen)};
}

int TBRStandardPreview::PreselectedSaveFilter() const
{
    return ExportFilterLibrary().Entries().empty() ? 1 : 2;
}

void TBRStandardPreview::SaveClick()
{
    QFileDialog dialog(this, QStringLiteral("Gem udskriftsjob"));
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
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
    const auto entry = static_cast<std::size_t>(filterIndex - 2);
    const bool ownFormat = filterIndex <= 1 || entry >= entries.size();
    const std::filesystem::path path(file.toStdString());
    try {
        if (ownFormat) {
            shown->SavePages(path);
            return;
        }
        const std::unique_ptr<TBRExportFilter> filter = entries[entry].Create(path);
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
    dialog.setObjectName(QStringLiteral("LoadDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
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
        shown->LoadPages(std::filesystem::path(file.toStdString()));
    } catch (const std::exception &error) {
        throw EBRFileFailure(file.toStdString(), error);
    }
    ClearSearchResults();
    TBRPreviewState::Instance().StatusText = platform::fromQString(file);
    // The loaded pages are the file's: the caption and the printed job name it.
    shown->Title = platform::fromQString(QFileInfo(file).fileName());
    setWindowTitle(caption + platform::toQString(shown->Title));
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
