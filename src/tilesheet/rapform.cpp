#include "tilesheet/rapform.h"

#include "output/brprinter.h"
#include "platform/length.h"

#include <algorithm>
#include <array>

namespace tilesheet {

using namespace report;

namespace {
constexpr int reportZoom = 60;
constexpr int fullProgress = 100;
constexpr int tileFontPoints = 9;
constexpr int smallFontPoints = 6;
// The texts of the definition. The band labels' captions are never printed: OnPrint supplies
// the text, but only for a label with a caption.
constexpr const char *makerText = "K V A D R I X";
// The side label reads the maker's name from top to bottom, one letter a line. Breaking
// "K V A D R I X" at the label's 6 pixels would leave "I X" on one line, exactly 6 pixels wide.
constexpr const char *sideText = "K \rV \rA \rD \rR \rI \rX";

// Lengths as the definition stores them, in native units (0.1 mm).
namespace stored {
// Bottom margin, length, top margin, width, left margin, right margin, column space.
const std::vector<long double> page{90.0L, 2970.0L, 85.0L, 2100.0L, 120.0L, 195.0L, 0.0L};
// Height, width.
const std::vector<long double> detail{466.0L, 176.3888888888889L};
// One screen pixel at zoom 100.
constexpr platform::TLength px =
    platform::TLength::fromNative(platform::TLength::nativePerPixel(platform::screenDpi));
// Height, left, top, width of the band labels, in screen pixels at zoom 100.
struct LabelBounds {
    int height, left, top, width;
};
constexpr LabelBounds fag{16, 6, 20, 49};
constexpr LabelBounds laerer{16, 6, 36, 49};
constexpr LabelBounds klasse{16, 6, 52, 49};
constexpr LabelBounds lokale{16, 6, 68, 49};
constexpr LabelBounds periode{11, 6, 119, 49};
const std::vector<long double> sideLabel{195.79L, 1989.67L, 2701.4L, 26.46L};
const std::vector<long double> fileLabel{30.87L, 123.47L, 2897.19L, 127.88L};
} // namespace stored

void defineLabel(TBRLabel &label, int points, TAlignment alignment,
                 const std::vector<long double> &values)
{
    label.SetFont({"Arial", points, 0, platform::clBlack}); // clWindowText
    label.SetParentFont(false);
    label.FontSize = points;
    label.Color = platform::clWhite;
    label.Transparent = false;
    label.WordWrap = true;
    label.AutoSize = false;
    label.AutoStretch = false;
    label.SetAlignToBand(false);
    label.SetAlignment(alignment);
    label.Size.SetValues(values);
    label.SetCaption(makerText);
}

std::vector<long double> valuesOf(const stored::LabelBounds &b)
{
    return {(b.height * stored::px).native(), (b.left * stored::px).native(),
            (b.top * stored::px).native(), (b.width * stored::px).native()};
}

// The tile's width and height (mm) between `margins` on the A4 sheet, as the creation step
// sizes the band and the engine divides the columns.
const platform::TLength sheetWidth = platform::TLength::fromNative(stored::page[3]);
const platform::TLength sheetLength = platform::TLength::fromNative(stored::page[1]);
long double tileWidthBetween(long double left, long double right)
{
    return (sheetWidth.mm() - left - right) / TRapForm::columnsPerPage;
}
long double tileHeightBetween(long double top, long double bottom)
{
    return (sheetLength.mm() - top - bottom) / TRapForm::rowsPerColumn -
           TRapForm::bandHeightAllowanceMM;
}
// The smallest tile, as a share of the standard one.
constexpr long double smallestTileShare = 0.75L;
} // namespace

std::optional<CrampedMargins> TooLittleRoom(const Margins &margins)
{
    const Margins &standard = kStandardMargins;
    const long double lowest = smallestTileShare * tileHeightBetween(standard.top, standard.bottom);
    const long double narrowest =
        smallestTileShare * tileWidthBetween(standard.left, standard.right);
    if (tileHeightBetween(margins.top, margins.bottom) < lowest)
        return CrampedMargins{
            MarginSide::Top, MarginSide::Bottom, margins.top + margins.bottom,
            static_cast<double>(sheetLength.mm() - TRapForm::rowsPerColumn *
                                                       (lowest + TRapForm::bandHeightAllowanceMM))};
    if (tileWidthBetween(margins.left, margins.right) < narrowest)
        return CrampedMargins{
            MarginSide::Left, MarginSide::Right, margins.left + margins.right,
            static_cast<double>(sheetWidth.mm() - TRapForm::columnsPerPage * narrowest)};
    return std::nullopt;
}

TRapForm::TRapForm(const TRapFormInputs &inputs) : inputs_(inputs)
{
    define();
    create();
}

TRapForm::~TRapForm() { BRBrikker.StopRun(); }

void TRapForm::define()
{
    BRBrikker.BeginLoading();
    BRBrikker.SetZoom(reportZoom);
    BRBrikker.Page.SetPaperSize(TBRPaperSize::A4);
    BRBrikker.Page.SetOrientation(TBROrientation::poPortrait);
    BRBrikker.Page.SetColumns(columnsPerPage);
    BRBrikker.Page.SetValues(stored::page);
    BRBrikker.Frame.SetColor(platform::clBlack);
    BRBrikker.PrintIfEmpty = true;
    BRBrikker.Options = {.FirstPageHeader = true, .LastPageFooter = true, .Compression = false};
    BRBrikker.PrinterSettings = {};
    BRBrikker.PreviewSettings = {};
    BRBrikker.ReportTitle.clear();

    BrikDetail.SetParent(&BRBrikker);
    BrikDetail.SetBandType(TBRBandType::rbDetail);
    BrikDetail.Color = platform::clWhite;
    BrikDetail.TransparentBand = false;
    BrikDetail.ForceNewColumn = false;
    BrikDetail.ForceNewPage = false;
    BrikDetail.AlignToBottom = false;
    BrikDetail.KeepOnOnePage = false;
    BrikDetail.Frame.SetColor(platform::clBlack);
    BrikDetail.Size.SetValues(stored::detail);

    const std::array<std::pair<TBRLabel *, stored::LabelBounds>, 5> bandLabels{{
        {&LblFag1, stored::fag},
        {&LblLaerer1, stored::laerer},
        {&LblKlasse1, stored::klasse},
        {&LblLokale1, stored::lokale},
        {&LblPeriode1, stored::periode},
    }};
    for (auto [label, bounds] : bandLabels) {
        label->SetParent(&BrikDetail);
        const bool right = label == &LblLaerer1 || label == &LblLokale1;
        const int points = label == &LblPeriode1 ? smallFontPoints : tileFontPoints;
        defineLabel(*label, points, right ? TAlignment::taRightJustify : TAlignment::taLeftJustify,
                    valuesOf(bounds));
    }

    BRLabel1.SetParent(&BRBrikker);
    defineLabel(BRLabel1, smallFontPoints, TAlignment::taLeftJustify, stored::sideLabel);
    BRLabel1.SetCaption(sideText);
    BRLabel1.AutoStretch = true;
    LblFilnavn.SetParent(&BRBrikker);
    defineLabel(LblFilnavn, smallFontPoints, TAlignment::taLeftJustify, stored::fileLabel);
    LblFilnavn.AutoSize = true;
    BRBrikker.EndLoading();

    BRBrikker.BeforePrint = [this](TCustomBandReport &s, bool &p) { BRBrikkerBeforePrint(s, p); };
    BRBrikker.OnNeedData = [this](TCustomBandReport &s, bool &m) { BRBrikkerNeedData(s, m); };
    BrikDetail.BeforePrint = [this](TBRCustomBand &s, bool &p) { BrikDetailBeforePrint(s, p); };
    LblFag1.OnPrint = [this](TBRCustomLabel &s, std::string &v) { LblFag1Print(s, v); };
    LblLaerer1.OnPrint = [this](TBRCustomLabel &s, std::string &v) { LblLaerer1Print(s, v); };
    LblKlasse1.OnPrint = [this](TBRCustomLabel &s, std::string &v) { LblKlasse1Print(s, v); };
    LblLokale1.OnPrint = [this](TBRCustomLabel &s, std::string &v) { LblLokale1Print(s, v); };
    LblPeriode1.OnPrint = [this](TBRCustomLabel &s, std::string &v) { LblPeriode1Print(s, v); };
}

void TRapForm::create()
{
    BRBrikker.SetUnits(TBRUnit::MM);
    TBRPage &page = BRBrikker.Page;
    page.SetTopMargin(inputs_.TopMargin);
    page.SetBottomMargin(inputs_.BottomMargin);
    page.SetLeftMargin(inputs_.LeftMargin);
    page.SetRightMargin(inputs_.RightMargin);
    margins_ = {inputs_.TopMargin, inputs_.LeftMargin, inputs_.BottomMargin, inputs_.RightMargin};
    sizeTiles();

    BRBrikker.Frame.SetDrawLeft(inputs_.CutFrames);
    BRBrikker.Frame.SetDrawTop(inputs_.CutFrames);
    BrikDetail.Frame.SetDrawRight(inputs_.CutFrames);
    BrikDetail.Frame.SetDrawBottom(inputs_.CutFrames);
    BRBrikker.OnPageChanged = [this](TCustomBandReport &) { sizeTiles(); };
    // Margins make up for one printer's paper feed: another printer, its own margins.
    BRBrikker.OnPrinterChanged = [this](TCustomBandReport &, const std::string &printer,
                                        bool &pageChanged) {
        if (!inputs_.MarginsForPrinter)
            return;
        const Margins wanted = inputs_.MarginsForPrinter(printer);
        if (wanted == margins_)
            return;
        setMargins(wanted);
        pageChanged = true;
    };
}

void TRapForm::setMargins(const Margins &margins)
{
    margins_ = margins;
    TBRPage &page = BRBrikker.Page;
    BRBrikker.SaveUnits(TBRUnit::MM);
    page.SetTopMargin(margins.top);
    page.SetBottomMargin(margins.bottom);
    page.SetLeftMargin(margins.left);
    page.SetRightMargin(margins.right);
    BRBrikker.RestoreUnits();
    sizeTiles();
}

void TRapForm::sizeTiles()
{
    BRBrikker.SaveUnits(TBRUnit::MM);
    const TBRPage &page = BRBrikker.Page;
    BrikDetail.Size.SetHeight((page.Length() - page.TopMargin() - page.BottomMargin()) /
                                  rowsPerColumn -
                              bandHeightAllowanceMM);
    BRBrikker.RestoreUnits();

    // The bounds the OnPrint handlers give, so that the first band prints like every later one.
    for (TBRLabel *label : {&LblFag1, &LblLaerer1, &LblKlasse1, &LblLokale1, &LblPeriode1})
        fitLabel(*label);
}

int TRapForm::tileCount() const
{
    return inputs_.PrintList != nullptr ? static_cast<int>(inputs_.PrintList->size()) : 0;
}

const timetable::TBrik &TRapForm::currentTile() const
{
    return *inputs_.PrintList->at(static_cast<std::size_t>(BrikIndex));
}

void TRapForm::fitLabel(TBRCustomLabel &label)
{
    label.SetWidth(BrikDetail.Bounds().Width - 2 * labelInsetPixels);
    label.SetLeft(labelInsetPixels);
}

void TRapForm::BRBrikkerBeforePrint(TCustomBandReport &, bool &)
{
    CopyCounter = 0;
    BrikIndex = 0;
    LblFilnavn.SetCaption(inputs_.FileName);
}

void TRapForm::BRBrikkerNeedData(TCustomBandReport &Sender, bool &MoreData)
{
    ++CopyCounter;
    if (CopyCounter == copiesPerTile + 1) {
        CopyCounter = 1;
        ++BrikIndex;
    }
    const int count = tileCount();
    MoreData = BrikIndex < count;
    const int progress = MoreData ? BrikIndex * fullProgress / count : fullProgress;
    if (output::TBRPrinter *output = Sender.PageOutput())
        output->SetProgress(progress);
}

bool TRapForm::startsLaterName(int index) const
{
    return index > 0 && std::binary_search(inputs_.NameStarts.begin(), inputs_.NameStarts.end(),
                                           static_cast<std::size_t>(index));
}

void TRapForm::BrikDetailBeforePrint(TBRCustomBand &Sender, bool &PrintBand)
{
    PrintBand = BrikIndex < tileCount();
    // The column the previous name ended in holds at least its last tile, so the next name
    // always begins a fresh one. (ForceNewColumn would not: the engine lets the first forced
    // column on column 1 pass.)
    if (PrintBand && CopyCounter == 1 && startsLaterName(BrikIndex))
        Sender.ParentReport()->StartNewColumn();
}

void TRapForm::LblFag1Print(TBRCustomLabel &Sender, std::string &Value)
{
    Value = currentTile().Fag;
    fitLabel(Sender);
}

void TRapForm::LblLaerer1Print(TBRCustomLabel &Sender, std::string &Value)
{
    Value = currentTile().Laerer;
    fitLabel(Sender);
}

void TRapForm::LblKlasse1Print(TBRCustomLabel &Sender, std::string &Value)
{
    Value = currentTile().Klasse;
    fitLabel(Sender);
}

void TRapForm::LblLokale1Print(TBRCustomLabel &Sender, std::string &Value)
{
    Value = currentTile().Lokale;
    fitLabel(Sender);
}

void TRapForm::LblPeriode1Print(TBRCustomLabel &Sender, std::string &Value)
{
    Value = currentTile().Periode;
    fitLabel(Sender);
}

} // namespace tilesheet
