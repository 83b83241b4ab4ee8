#include "tilesheet/changelist.h"

#include "platform/cp1252.h"
#include "report/band.h"
#include "report/label.h"

#include <array>
#include <utility>

namespace tilesheet {

using namespace report;
using platform::TLength;

namespace {

// Page and line geometry. Two columns a page: a change list as long as the new tiles' sheets is
// no help at the board.
constexpr int columnsPerPage = 2;
constexpr TLength mm(double millimetres) { return TLength::fromMm(millimetres); }
constexpr TLength topMargin = mm(15);
constexpr TLength bottomMargin = mm(12);
constexpr TLength leftMargin = mm(15);
constexpr TLength rightMargin = mm(15);
constexpr TLength columnSpace = mm(6);
constexpr TLength headerHeight = mm(29);
constexpr TLength lineHeight = mm(4.5);
constexpr TLength footerHeight = mm(9);
constexpr TLength textHeight = mm(4.5);
constexpr TLength fullWidth = mm(180); // between the margins
constexpr TLength columnWidth = (fullWidth - columnSpace) / columnsPerPage;

// The columns of a tile line within its column: the section word, then subject, class or
// teacher, room, period.
struct Column {
    TLength left, width;
};
constexpr Column sectionColumn{mm(0), mm(19)};
constexpr std::array<Column, 4> fieldColumns{
    {{mm(19.5), mm(17)}, {mm(37), mm(15.5)}, {mm(53), mm(20)}, {mm(73.5), mm(13.5)}}};

// Read at arm's length at the board: nothing below 9 points.
constexpr int titlePoints = 14;
constexpr int headingPoints = 10;
constexpr int textPoints = 9;
constexpr int notePoints = 9;

} // namespace

// One line of the list: a blank line between two names, a name's heading, or one tile, the
// first of its section carrying the section's word.
struct ChangeLine {
    enum class Kind { Blank, Heading, Tile };
    Kind kind = Kind::Blank;
    const std::string *name = nullptr; // the name whose block the line belongs to
    const timetable::TBrik *tile = nullptr;
    const std::string *section = nullptr; // the section's word, for a tile
    bool firstOfSection = false;
};

struct TChangeList::Definition {
    explicit Definition(const TChangeListInputs &inputs);

    void define();
    void defineHeader();
    void defineLines();
    TBRLabel &label(TBRBasePanel &parent, int points, unsigned style, TLength left, TLength top,
                    TLength width, TAlignment alignment = TAlignment::taLeftJustify);
    void buildLines();

    void NeedData(bool &MoreData);
    void LineBeforePrint(TBRCustomBand &Sender, bool &PrintBand);
    void ContinuedBeforePrint(bool &PrintBand);
    void FooterBeforePrint(TBRCustomBand &Sender);

    TChangeListInputs inputs;
    std::vector<ChangeLine> lines;
    std::size_t lineIndex = 0;
    // The column just begun opened with the current name's "(fortsat)": the tile below it
    // names its section again.
    bool continued = false;
    const std::string removedWord = platform::cp1252(u8"Tages ned:");
    const std::string addedWord = platform::cp1252(u8"Nye brikker:");

    // The report is declared first: the bands and labels it makes live in it.
    TBandReport report;
    TBRBand *header = nullptr;
    TBRBand *continuedHeading = nullptr; // the column header
    TBRBand *line = nullptr;
    TBRBand *footer = nullptr;
    TBRLabel *continuedName = nullptr;
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
            bool first = true;
            for (const timetable::TBrik *tile : *tiles) {
                lines.push_back({ChangeLine::Kind::Tile, &changes->name, tile, word, first});
                first = false;
            }
        }
    }
}

TBRLabel &TChangeList::Definition::label(TBRBasePanel &parent, int points, unsigned style,
                                         TLength left, TLength top, TLength width,
                                         TAlignment alignment)
{
    auto &l = report.CreateControl<TBRLabel>(parent);
    l.SetFont({"Arial", points, style, platform::clBlack});
    l.FontSize = points;
    l.Transparent = true;
    l.AutoSize = false;
    l.WordWrap = false; // a text wider than its column is cut, not carried to a second line
    l.SetAlignment(alignment);
    l.Size.SetLeft(left.mm());
    l.Size.SetTop(top.mm());
    l.Size.SetWidth(width.mm());
    l.Size.SetHeight(textHeight.mm());
    return l;
}

void TChangeList::Definition::define()
{
    report.Page.SetPaperSize(TBRPaperSize::A4);
    report.Page.SetOrientation(TBROrientation::poPortrait);
    report.Page.SetColumns(columnsPerPage);
    report.PrintIfEmpty = false;
    report.Options = {.FirstPageHeader = true, .LastPageFooter = true, .Compression = false};
    report.ReportTitle = platform::cp1252(u8"Ændringsliste");
    header = &report.CreateBand(TBRBandType::rbPageHeader);
    continuedHeading = &report.CreateBand(TBRBandType::rbColumnHeader);
    line = &report.CreateBand(TBRBandType::rbDetail);
    footer = &report.CreateBand(TBRBandType::rbPageFooter);

    // Every length below in millimetres; a band that joins shows its size in them anew.
    report.SetUnits(TBRUnit::MM);
    report.Page.SetTopMargin(topMargin.mm());
    report.Page.SetBottomMargin(bottomMargin.mm());
    report.Page.SetLeftMargin(leftMargin.mm());
    report.Page.SetRightMargin(rightMargin.mm());
    report.Page.SetColumnSpace(columnSpace.mm());
    header->Size.SetHeight(headerHeight.mm());
    continuedHeading->Size.SetHeight(lineHeight.mm());
    line->Size.SetHeight(lineHeight.mm());
    footer->Size.SetHeight(footerHeight.mm());
    for (TBRBand *band : {header, continuedHeading, line, footer})
        band->Color = platform::clWhite;

    defineHeader();
    defineLines();
    continuedName = &label(*continuedHeading, headingPoints, platform::fsBold, {}, {}, columnWidth);
    pageNumber = &label(*footer, notePoints, 0, {}, mm(3), fullWidth, TAlignment::taCenter);
    pageNumber->SetCaption(platform::cp1252(u8"Side"));

    report.OnNeedData = [this](TCustomBandReport &, bool &more) { NeedData(more); };
    report.BeforePrint = [this](TCustomBandReport &, bool &) {
        lineIndex = 0;
        continued = false;
    };
    continuedHeading->BeforePrint = [this](TBRCustomBand &, bool &p) { ContinuedBeforePrint(p); };
    line->BeforePrint = [this](TBRCustomBand &s, bool &p) { LineBeforePrint(s, p); };
    footer->BeforePrint = [this](TBRCustomBand &s, bool &) { FooterBeforePrint(s); };
}

void TChangeList::Definition::defineHeader()
{
    using platform::cp1252;
    label(*header, titlePoints, platform::fsBold, {}, {}, fullWidth)
        .SetCaption(cp1252(u8"Ændringsliste"));
    label(*header, notePoints, 0, {}, mm(7.5), fullWidth)
        .SetCaption(cp1252(u8"Tidligere fil: ") + inputs.EarlierFileName);
    label(*header, notePoints, 0, {}, mm(11.5), fullWidth)
        .SetCaption(cp1252(u8"Ny fil: ") + inputs.FileName);
    // A line stands for one lesson, whose tile the board holds three times over.
    label(*header, notePoints, 0, {}, mm(16.5), fullWidth)
        .SetCaption(cp1252(u8"Hver linje er tre brikker: de tre kopier af én lektion."));
    const bool teachers = inputs.Mode == timetable::SelectionMode::Teachers;
    const std::array<std::string, 4> titles{cp1252(u8"Fag"),
                                            cp1252(teachers ? u8"Klasse" : u8"Lærer"),
                                            cp1252(u8"Lokale"), cp1252(u8"Periode")};
    for (int column = 0; column < columnsPerPage; ++column)
        for (std::size_t i = 0; i < titles.size(); ++i)
            label(*header, textPoints, platform::fsBold,
                  column * (columnWidth + columnSpace) + fieldColumns[i].left, mm(22.5),
                  fieldColumns[i].width)
                .SetCaption(titles[i]);
    header->Frame.SetColor(platform::clBlack);
    header->Frame.SetDrawBottom(true);
}

void TChangeList::Definition::defineLines()
{
    name = &label(*line, headingPoints, platform::fsBold, {}, {}, columnWidth);
    section = &label(*line, textPoints, 0, sectionColumn.left, {}, sectionColumn.width);
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = &label(*line, textPoints, 0, fieldColumns[i].left, {}, fieldColumns[i].width);
}

void TChangeList::Definition::NeedData(bool &MoreData)
{
    // lineIndex counts the lines handed out so far; the current one is lineIndex - 1.
    MoreData = lineIndex < lines.size();
    if (MoreData)
        ++lineIndex;
}

void TChangeList::Definition::ContinuedBeforePrint(bool &PrintBand)
{
    // A column opens with a tile only when the tile's name began in the column before: whoever
    // holds this page alone still reads whose tiles they are.
    const ChangeLine *current = lineIndex > 0 ? &lines.at(lineIndex - 1) : nullptr;
    PrintBand = current != nullptr && current->kind == ChangeLine::Kind::Tile;
    continued = PrintBand;
    if (PrintBand)
        continuedName->SetCaption(*current->name + platform::cp1252(u8" (fortsat)"));
}

void TChangeList::Definition::LineBeforePrint(TBRCustomBand &Sender, bool &PrintBand)
{
    TCustomBandReport &run = *Sender.ParentReport();
    const ChangeLine &current = lines.at(lineIndex - 1);
    const auto lineSpace = static_cast<long long>(Sender.Size.Native(TBRBandSize::HeightIndex));
    const bool started = run.PageNumber() > 0;
    // A blank line at the top of a column, or at the foot of a full one, is no use.
    PrintBand = !(current.kind == ChangeLine::Kind::Blank && started &&
                  (run.CurrentY() == run.ColumnTop() || run.AvailableSpace() < 2 * lineSpace));
    // A heading stays with the first tile below it; a tile that no longer fits begins the next
    // column here, so that the column header continues its name above it.
    const long long needed = current.kind == ChangeLine::Kind::Heading ? 2 * lineSpace
                             : current.kind == ChangeLine::Kind::Tile  ? lineSpace
                                                                       : 0;
    continued = false;
    if (started && run.AvailableSpace() < needed)
        run.StartNewColumn();
    const bool showSection = current.kind == ChangeLine::Kind::Tile &&
                             (current.firstOfSection || std::exchange(continued, false));

    const bool teachers = inputs.Mode == timetable::SelectionMode::Teachers;
    const timetable::TBrik *tile = current.tile;
    name->SetCaption(current.kind == ChangeLine::Kind::Heading ? *current.name : std::string());
    section->SetCaption(showSection ? *current.section : std::string());
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
