// Measuring and breaking the five labels of one tile, and drawing one whole tile, the way the
// tile sheet prints them: Arial 9 and 6 pt at zoom 60 on the reference device.
#include "benchrun.h"
#include "output/pagetarget.h"
#include "platform/recordingcanvas.h"
#include "platform/screen.h"
#include "report/band.h"
#include "report/customreport.h"
#include "report/label.h"

#include <array>
#include <benchmark/benchmark.h>
#include <string>

using namespace report;

namespace {

class Target : public output::TBRPageTarget {
public:
    platform::Canvas *PageCanvas() override { return &canvas; }
    bool DrawsToPrinter() const override { return false; }
    platform::RecordingCanvas canvas;
};

struct Tile {
    Tile()
    {
        report.SetZoom(60);
        report.Page.SetColumns(10);
        report.Page.SetRightMargin(20);
        report.Page.SetLeftMargin(12);
        detail = &report.CreateBand(TBRBandType::rbDetail);
        const std::array<int, 5> points{9, 9, 9, 9, 6};
        for (std::size_t i = 0; i < labels.size(); ++i) {
            labels[i] = &report.CreateControl<TBRLabel>(*detail);
            labels[i]->AutoSize = false;
            labels[i]->SetFont({"Arial", points[i], 0, platform::clBlack});
            labels[i]->SetAlignment(i % 2 == 1 ? TAlignment::taRightJustify
                                               : TAlignment::taLeftJustify);
            labels[i]->SetBounds(6, 12 + 10 * static_cast<int>(i), detail->Bounds().Width - 12, 10);
            labels[i]->SetCaption("K V A D R I X");
            labels[i]->OnPrint = [this, i](TBRCustomLabel &sender, std::string &value) {
                value = fields[i];
                sender.SetWidth(detail->Bounds().Width - 12);
                sender.SetLeft(6);
            };
        }
        report.SetPageTarget(&target);
    }

    platform::ScreenResolutionOverride screen{96};
    TCustomBandReport report;
    TBRBand *detail = nullptr;
    std::array<TBRLabel *, 5> labels{};
    // Fag, Laerer, Klasse, Lokale, Periode, as an export file gives them.
    std::array<std::string, 5> fields{"Samfundsfag", "ABC", "3.b", "Lok. 12-14", "2. halv\xE5r"};
    Target target;
};

void MeasureAndBreakFiveLabels(benchmark::State &state)
{
    Tile tile;
    for (auto _ : state) {
        for (std::size_t i = 0; i < tile.labels.size(); ++i)
            tile.labels[i]->SetCaption(tile.fields[i]);
        benchmark::DoNotOptimize(tile.labels[4]->Lines().data());
    }
}
BENCHMARK(MeasureAndBreakFiveLabels);

void DrawOneTile(benchmark::State &state)
{
    Tile tile;
    for (TBRPrintable *control : tile.report.AllControls())
        control->BeginPrinting();
    for (auto _ : state) {
        tile.target.canvas.clear();
        tile.detail->Draw(120, 85);
        benchmark::DoNotOptimize(tile.target.canvas.ops().data());
    }
}
BENCHMARK(DrawOneTile);

} // namespace

int main(int argc, char **argv)
{
    // Measuring needs no screen; the application only makes the process like the program's.
    return bench::runBenchmarks(argc, argv);
}
