#include "tilesheet/calibrationsheet.h"

#include "platform/canvas.h"
#include "platform/cp1252.h"
#include "platform/length.h"
#include "tilesheet/calibration.h"

namespace tilesheet {
namespace {

constexpr int textPoints = 9;
// How far the texts keep from the lines they name, so that they never cover them.
constexpr double clearanceMm = 2.5;
constexpr double lineHeightMm = 4.5;

} // namespace

std::string TCalibrationSheet::JobTitle() { return platform::cp1252(u8"Prøveark"); }

TCalibrationSheet::TCalibrationSheet(const Margins &margins, const std::string &printer)
    : tiles_(static_cast<std::size_t>(TRapForm::rowsPerColumn * TRapForm::columnsPerPage /
                                      TRapForm::copiesPerTile))
{
    for (const timetable::TBrik &tile : tiles_)
        printList_.push_back(&tile);
    TRapFormInputs inputs;
    SetMargins(inputs, margins);
    inputs.CutFrames = true;
    inputs.PrintList = &printList_;
    sheet_ = std::make_unique<TRapForm>(inputs);
    sheet_->BRBrikker.ReportTitle = JobTitle();

    // The texts stand where this sheet's lines are; the distances they give are the standard
    // layout's.
    const OuterLines here = OuterCuttingLines(margins);
    const OuterLines target = CalibrationTargets();
    const auto mmOf = [this](int index) {
        return static_cast<double>(
            platform::TLength::fromNative(sheet_->BRBrikker.Page.Native(index)).mm());
    };
    const double paperWidth = mmOf(report::TBRPage::WidthIndex);
    const double paperLength = mmOf(report::TBRPage::LengthIndex);
    const double gridLeft = here.left, gridTop = here.top;
    const double gridRight = paperWidth - here.right, gridBottom = paperLength - here.bottom;
    const double gridWidth = gridRight - gridLeft, gridHeight = gridBottom - gridTop;
    const auto should = [](double mm, const char8_t *edge) {
        return platform::cp1252(u8"Skal være ") + millimetreText(mm) +
               platform::cp1252(u8" mm fra papirets ") + platform::cp1252(edge);
    };
    using report::TAlignment;
    const double textWidth = gridWidth / 2;
    // The instruction and the margins stand between the second and third rows' lines.
    constexpr double howAt = 0.36;
    place(LblTop, should(target.top, u8"overkant"), gridLeft + gridWidth / 4, gridTop + clearanceMm,
          textWidth, lineHeightMm, TAlignment::taCenter);
    place(LblBottom, should(target.bottom, u8"underkant"), gridLeft + gridWidth / 4,
          gridBottom - clearanceMm - lineHeightMm, textWidth, lineHeightMm, TAlignment::taCenter);
    place(LblLeft, should(target.left, u8"venstre kant"), gridLeft + clearanceMm,
          gridTop + gridHeight * 0.3, textWidth, lineHeightMm, TAlignment::taLeftJustify);
    place(LblRight, should(target.right, u8"højre kant"), gridRight - clearanceMm - textWidth,
          gridTop + gridHeight * 0.7, textWidth, lineHeightMm, TAlignment::taRightJustify);
    place(LblHow,
          platform::cp1252(u8"Prøveark. Mål med en lineal afstanden fra hver af papirets fire "
                           u8"kanter til den yderste streg ved den kant, og skriv de fire mål i "
                           u8"vinduet Kalibrering. Tryk på Ret marginer, og udskriv prøvearket "
                           u8"igen: så skal stregerne stå, hvor teksterne siger."),
          gridLeft + gridWidth / 8, gridTop + gridHeight * howAt, gridWidth * 0.75,
          4 * lineHeightMm, TAlignment::taLeftJustify);
    place(LblMargins,
          platform::cp1252(u8"Printer: ") + printer +
              platform::cp1252(u8". Udskrevet med marginerne top ") + millimetreText(margins.top) +
              ", venstre " + millimetreText(margins.left) + ", bund " +
              millimetreText(margins.bottom) + platform::cp1252(u8", højre ") +
              millimetreText(margins.right) + " mm.",
          gridLeft + gridWidth / 8, gridTop + gridHeight * howAt + 4.2 * lineHeightMm,
          gridWidth * 0.75, 2 * lineHeightMm, TAlignment::taLeftJustify);
}

TCalibrationSheet::~TCalibrationSheet() { sheet_->BRBrikker.StopRun(); }

void TCalibrationSheet::place(report::TBRLabel &label, const std::string &text, double leftMm,
                              double topMm, double widthMm, double heightMm,
                              report::TAlignment alignment)
{
    label.SetParent(&sheet_->BRBrikker);
    label.SetFont({"Arial", textPoints, 0, platform::clBlack});
    label.FontSize = textPoints;
    label.Color = platform::clWhite;
    label.Transparent = false;
    label.WordWrap = true;
    label.AutoSize = false;
    label.AutoStretch = false;
    label.SetAlignment(alignment);
    const auto native = [](double mm) { return platform::TLength::fromMm(mm).native(); };
    label.Size.SetValues({native(heightMm), native(leftMm), native(topMm), native(widthMm)});
    label.SetCaption(text);
}

} // namespace tilesheet
