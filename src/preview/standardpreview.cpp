#include "preview/standardpreview.h"

// The preview window made, set up from what its report asks, shown and closed. Moving through
// the pages is in standardpreviewpages.cpp, the commands (search, save, load, print) in
// standardpreviewcommands.cpp.

#include "output/brprinter.h"
#include "output/export/exportfilterlibrary.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/fonts.h"
#include "preview/brpreview.h"
#include "preview/previewstate.h"
#include "preview/thumbgrid.h"
#include "report/services.h"
#include "ui_standardpreview.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>

namespace preview {

using output::ExportFilterLibrary;
using output::StandardExportFilters;
using output::TBRExportFilterLibraryEntry;
using output::TBRExportFilterRegistration;
using output::TBRPreviewRequest;
using output::TBRPreviewSettings;
using output::TBRPrinter;
using output::TBRZoomState;
using output::TFormStyle;
using output::TOrientation;
using output::TWindowState;

namespace {
const QString caption = QStringLiteral("Udskriftsvisning : ");
constexpr int defaultWindowSize = 500;
constexpr int tabsWidth = 142;
// The status panels: progress, page information, the preview status text.
constexpr int panelWidths[3] = {40, 120, 50};
const char *const panelRoles[3] = {"Fremskridt", "Sideinformation", "Status"};
constexpr QSize glyphSize(24, 24);

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
        showTitle(output.Title);
    lastProgress_ = 0;
}

void TBRStandardPreview::showTitle(const std::string &title)
{
    setWindowTitle(caption + platform::toQString(title));
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

} // namespace preview
