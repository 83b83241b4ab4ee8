#include "tilesheet/changelist.h"

#include "platform/cp1252.h"
#include "report/band.h"
#include "report/label.h"

#include <array>

namespace tilesheet {

using namespace report;

namespace {

// Page and line geometry, in millimetres.
constexpr long double topMarginMm = 15.0L;
constexpr long double bottomMarginMm = 12.0L;
constexpr long double leftMarginMm = 20.0L;
constexpr long double rightMarginMm = 15.0L;
constexpr long double headerHeightMm = 27.0L;
constexpr long double lineHeightMm = 5.5L;
constexpr long double footerHeightMm = 9.0L;
constexpr long double textHeightMm = 5.0L;
constexpr long double fullWidthMm = 175.0L; // between the margins

// The columns of a tile line: the section word, then subject, class or teacher, room, period.
struct Column {
    long double left, width;
};
constexpr Column sectionColumn{0.0L, 28.0L};
constexpr std::array<Column, 4> fieldColumns{
    {{30.0L, 44.0L}, {76.0L, 30.0L}, {108.0L, 30.0L}, {140.0L, 35.0L}}};

constexpr int titlePoints = 14;
constexpr int headingPoints = 12;
constexpr int textPoints = 10;
constexpr int notePoints = 8;

} // namespace

// One line of the list: a blank line between two names, a name's heading, or one tile, the
// first of its section carrying the section's word.
struct ChangeLine {
    enum class Kind { Blank, Heading, Tile };
    Kind kind = Kind::Blank;
    const std::string *name = nullptr;
    const timetable::TBrik *tile = nullptr;
    const std::string *section = nullptr; // the first tile of a section only
};

struct TChangeList::Definition {
    explicit Definition(const TChangeListInputs &inputs);

    void define();
    void defineHeader();
    void defineLines();
    TBRLabel &label(TBRBasePanel &parent, int points, unsigned style, long double left,
                    long double top, long double width,
                    TAlignment alignment = TAlignment::taLeftJustify);
    void buildLines();

    void NeedData(bool &MoreData);
    void LineBeforePrint(TBRCustomBand &Sender, bool &PrintBand);
    void FooterBeforePrint(TBRCustomBand &Sender);

    TChangeListInputs inputs;
    std::vector<ChangeLine> lines;
    std::size_t lineIndex = 0;
    const std::string removedWord = platform::cp1252(u8"Tages ned:");
    const std::string addedWord = platform::cp1252(u8"Nye brikker:");

    // The report is declared first: the bands and labels it makes live in it.
    TBandReport report;
    TBRBand *header = nullptr;
    TBRBand *line = nullptr;
    TBRBand *footer = nullptr;
    TBRLabel *name = nullptr;
    TBRLabel *section = nullptr;
    std::array<TBRLabel *, 4> fields{};
    TBRLabel *pageNumber = nullptr;
};

TChangeList::Definition::Definition(const TChangeListInputs &in) : inputs(in)
{
    buildLines();
    define();
}

void TChangeList::Definition::buildLines()
{
    if (inputs.Diff == nullptr)
        return;
    for (const std::string &listed : inputs.Names) {
        const timetable::NameChanges *changes = inputs.Diff->find(listed);
        if (changes == nullptr)
            continue;
        if (!lines.empty())
            lines.push_back({});
        lines.push_back({ChangeLine::Kind::Heading, &changes->name});
        for (const auto *tiles : {&changes->removed, &changes->added}) {
            const std::string *word = tiles == &changes->removed ? &removedWord : &addedWord;
            for (const timetable::TBrik *tile : *tiles) {
                lines.push_back({ChangeLine::Kind::Tile, nullptr, tile, word});
                word = nullptr;
            }
        }
    }
}

TBRLabel &TChangeList::Definition::label(TBRBasePanel &parent, int points, unsigned style,
                                         long double left, long double top, long double width,
                                         TAlignment alignment)
{
    auto &l = report.CreateControl<TBRLabel>(parent);
    l.SetFont({"Arial", points, style, platform::clBlack});
    l.FontSize = points;
    l.Transparent = true;
    l.AutoSize = false;
    l.WordWrap = false; // a text wider than its column is cut, not carried to a second line
    l.SetAlignment(alignment);
    l.Size.SetLeft(left);
    l.Size.SetTop(top);
    l.Size.SetWidth(width);
    l.Size.SetHeight(textHeightMm);
    return l;
}

void TChangeList::Definition::define()
{
    report.Page.SetPaperSize(TBRPaperSize::A4);
    report.Page.SetOrientation(TBROrientation::poPortrait);
    report.Page.SetColumns(1);
    report.PrintIfEmpty = false;
    report.Options = {.FirstPageHeader = true, .LastPageFooter = true, .Compression = false};
    report.ReportTitle = platform::cp1252(u8"Ændringsliste");
    header = &report.CreateBand(TBRBandType::rbPageHeader);
    line = &report.CreateBand(TBRBandType::rbDetail);
    footer = &report.CreateBand(TBRBandType::rbPageFooter);

    // Every length below in millimetres; a band that joins shows its size in them anew.
    report.SetUnits(TBRUnit::MM);
    report.Page.SetTopMargin(topMarginMm);
    report.Page.SetBottomMargin(bottomMarginMm);
    report.Page.SetLeftMargin(leftMarginMm);
    report.Page.SetRightMargin(rightMarginMm);
    header->Size.SetHeight(headerHeightMm);
    line->Size.SetHeight(lineHeightMm);
    footer->Size.SetHeight(footerHeightMm);
    for (TBRBand *band : {header, line, footer})
        band->Color = platform::clWhite;

    defineHeader();
    defineLines();
    pageNumber = &label(*footer, notePoints, 0, 0, 3.0L, fullWidthMm, TAlignment::taCenter);
    pageNumber->SetCaption(platform::cp1252(u8"Side"));

    report.OnNeedData = [this](TCustomBandReport &, bool &more) { NeedData(more); };
    report.BeforePrint = [this](TCustomBandReport &, bool &) { lineIndex = 0; };
    line->BeforePrint = [this](TBRCustomBand &s, bool &p) { LineBeforePrint(s, p); };
    footer->BeforePrint = [this](TBRCustomBand &s, bool &) { FooterBeforePrint(s); };
}

void TChangeList::Definition::defineHeader()
{
    using platform::cp1252;
    label(*header, titlePoints, platform::fsBold, 0, 0, fullWidthMm)
        .SetCaption(cp1252(u8"Ændringsliste"));
    label(*header, notePoints, 0, 0, 8.0L, fullWidthMm)
        .SetCaption(cp1252(u8"Tidligere fil: ") + inputs.EarlierFileName);
    label(*header, notePoints, 0, 0, 12.0L, fullWidthMm)
        .SetCaption(cp1252(u8"Ny fil: ") + inputs.FileName);
    const bool teachers = inputs.Mode == timetable::SelectionMode::Teachers;
    const std::array<std::string, 4> titles{cp1252(u8"Fag"),
                                            cp1252(teachers ? u8"Klasse" : u8"Lærer"),
                                            cp1252(u8"Lokale"), cp1252(u8"Periode")};
    for (std::size_t i = 0; i < titles.size(); ++i)
        label(*header, textPoints, platform::fsBold, fieldColumns[i].left, 19.0L,
              fieldColumns[i].width)
            .SetCaption(titles[i]);
    header->Frame.SetColor(platform::clBlack);
    header->Frame.SetDrawBottom(true);
}

void TChangeList::Definition::defineLines()
{
    name = &label(*line, headingPoints, platform::fsBold, 0, 0, fullWidthMm);
    section = &label(*line, textPoints, 0, sectionColumn.left, 0, sectionColumn.width);
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = &label(*line, textPoints, 0, fieldColumns[i].left, 0, fieldColumns[i].width);
}

void TChangeList::Definition::NeedData(bool &MoreData)
{
    // lineIndex counts the lines handed out so far; the current one is lineIndex - 1.
    MoreData = lineIndex < lines.size();
    if (MoreData)
        ++lineIndex;
}

void TChangeList::Definition::LineBeforePrint(TBRCustomBand &Sender, bool &PrintBand)
{
    TCustomBandReport &run = *Sender.ParentReport();
    const ChangeLine &current = lines.at(lineIndex - 1);
    // A blank line at the top of a page is no use.
    PrintBand = !(current.kind == ChangeLine::Kind::Blank && run.PageNumber() > 0 &&
                  run.CurrentY() == run.ColumnTop());
    // A heading stays with the first tile below it.
    const long long twoLines =
        2 * static_cast<long long>(Sender.Size.Native(TBRBandSize::HeightIndex));
    if (current.kind == ChangeLine::Kind::Heading && run.PageNumber() > 0 &&
        run.AvailableSpace() < twoLines)
        run.StartNewColumn();

    const bool teachers = inputs.Mode == timetable::SelectionMode::Teachers;
    const timetable::TBrik *tile = current.tile;
    name->SetCaption(current.kind == ChangeLine::Kind::Heading ? *current.name : std::string());
    section->SetCaption(current.section != nullptr ? *current.section : std::string());
    const std::array<const std::string *, 4> texts{
        tile ? &tile->Fag : nullptr, tile ? (teachers ? &tile->Klasse : &tile->Laerer) : nullptr,
        tile ? &tile->Lokale : nullptr, tile ? &tile->Periode : nullptr};
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i]->SetCaption(texts[i] != nullptr ? *texts[i] : std::string());
}

void TChangeList::Definition::FooterBeforePrint(TBRCustomBand &Sender)
{
    pageNumber->SetCaption(platform::cp1252(u8"Side ") +
                           std::to_string(Sender.ParentReport()->PageNumber()));
}

TChangeList::TChangeList(const TChangeListInputs &inputs) : d_(std::make_unique<Definition>(inputs))
{}

TChangeList::~TChangeList() { d_->report.StopRun(); }

report::TBandReport &TChangeList::Report() { return d_->report; }

} // namespace tilesheet
