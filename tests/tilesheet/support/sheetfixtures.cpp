#include "sheetfixtures.h"

#include "output/brprinter.h"
#include "platform/cp1252.h"

#include <map>

namespace sheettest {

namespace {
class PlacedTexts : public platform::EmfHandler {
public:
    void text(const platform::EmfText &t) override
    {
        std::string bytes;
        for (char16_t c : t.Text)
            bytes.push_back(static_cast<char>(c)); // the test's texts are plain ASCII
        texts.push_back({bytes, t.X, t.Y});
    }
    std::vector<PlacedText> texts;
};
class BlackFills : public platform::EmfHandler {
public:
    void createBrush(std::uint32_t index, std::uint32_t, platform::TColor color) override
    {
        brushes[index] = color;
    }
    void createPen(std::uint32_t index, std::uint32_t, int, platform::TColor) override
    {
        brushes.erase(index); // handles are shared by pens and brushes
    }
    void selectObject(std::uint32_t index) override
    {
        if (brushes.count(index))
            current = brushes[index];
    }
    void patternFill(const platform::TRect &rect, std::uint32_t) override
    {
        if (current == platform::clBlack)
            fills.push_back(rect);
    }
    std::map<std::uint32_t, platform::TColor> brushes;
    platform::TColor current = platform::clWhite;
    std::vector<platform::TRect> fills;
};
} // namespace

std::vector<platform::TRect> blackFills(const platform::TMetafile &page)
{
    BlackFills collect;
    page.walk(collect);
    return collect.fills;
}

std::vector<timetable::TBrik> makeTiles(int n)
{
    std::vector<timetable::TBrik> tiles;
    for (int i = 1; i <= n; ++i) {
        const std::string s = std::to_string(i);
        tiles.push_back({"L" + s, "K" + s, "F" + s, "R" + s, "P" + s});
    }
    return tiles;
}

Sheet::Sheet(int n, tilesheet::TRapFormInputs inputs) : tiles(makeTiles(n))
{
    for (const timetable::TBrik &t : tiles)
        printList.push_back(&t);
    inputs.PrintList = &printList;
    form = std::make_unique<tilesheet::TRapForm>(inputs);
}

int Sheet::run()
{
    form->BRBrikker.SetPageOutput(nullptr);
    form->BRBrikker.RunReport();
    return form->BRBrikker.PageOutput()->PageList().PageCount();
}

std::vector<PlacedText> Sheet::texts(int page) { return pageTexts(form->BRBrikker, page); }

std::vector<PlacedText> pageTexts(const report::TCustomBandReport &report, int page)
{
    const auto metafile = report.PageOutput()->GetPage(page);
    if (metafile == nullptr)
        return {};
    PlacedTexts collect;
    metafile->walk(collect);
    return collect.texts;
}

} // namespace sheettest
