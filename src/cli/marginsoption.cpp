#include "cli/marginsoption.h"

#include "platform/cp1252.h"
#include "platform/printer.h"
#include "tilesheet/rapform.h"

#include <QString>
#include <algorithm>
#include <iomanip>
#include <sstream>
#include <vector>

namespace cli {
namespace {

const char *nameOf(tilesheet::MarginSide side)
{
    switch (side) {
    case tilesheet::MarginSide::Top:
        return "top";
    case tilesheet::MarginSide::Left:
        return "left";
    case tilesheet::MarginSide::Bottom:
        return "bottom";
    case tilesheet::MarginSide::Right:
        break;
    }
    return "right";
}

// "8.5 mm"
std::string mm(double value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(1) << value << " mm";
    return text.str();
}

} // namespace

bool parseMargins(const std::string &text, tilesheet::Margins &margins, std::string &problem)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double values[4];
    char comma;
    for (int i = 0; i < 4; ++i) {
        if (!(in >> values[i]) || (i < 3 && !(in >> comma && comma == ','))) {
            problem = "--margins takes TOP,LEFT,BOTTOM,RIGHT in millimetres";
            return false;
        }
    }
    if (!in.eof() && in.peek() != EOF) {
        problem = "--margins takes TOP,LEFT,BOTTOM,RIGHT in millimetres";
        return false;
    }
    const auto limit = static_cast<double>(tilesheet::kMarginLimitMm);
    for (double &value : values)
        value = std::clamp(value, -limit, limit);
    const tilesheet::Margins given{values[0], values[1], values[2], values[3]};
    if (const auto cramped = tilesheet::TooLittleRoom(given)) {
        const bool rows = cramped->first == tilesheet::MarginSide::Top;
        problem = std::string("--margins: the ") + nameOf(cramped->first) + " margin " +
                  mm(tilesheet::marginOf(given, cramped->first)) + " and the " +
                  nameOf(cramped->second) + " margin " +
                  mm(tilesheet::marginOf(given, cramped->second)) +
                  " leave no room for the sheet's " + (rows ? "six rows" : "ten columns") +
                  " of tiles; together they may take at most " + mm(cramped->most);
        return false;
    }
    margins = given;
    return true;
}

std::string queueFor(const std::string &queue)
{
    return queue.empty() ? platform::TPrinter::StandardPrinterName()
                         : platform::commandLineToCp1252(queue);
}

tilesheet::Margins keptMarginsFor(const std::string &queue, std::ostream &err)
{
    const tilesheet::KeptMargins kept;
    if (!kept.readsCleanly())
        err << "tavleprint: warning: the kept settings in " << kept.file().toStdString()
            << " could not be read; what could not be read takes its standard value\n";
    std::vector<tilesheet::KeptMarginsProblem> problems;
    const tilesheet::Margins margins = kept.read(queue, &problems);
    const std::string printer = platform::cp1252ToUtf8(queue);
    for (const tilesheet::KeptMarginsProblem &problem : problems) {
        if (problem.kind == tilesheet::KeptMarginsProblem::Kind::NoRoom)
            err << "tavleprint: warning: the margins kept for " << printer
                << " leave no room for the sheet's tiles; the standard margins are used\n";
        else
            err << "tavleprint: warning: the " << nameOf(problem.side) << " margin kept for "
                << printer << " (" << problem.kept.toStdString()
                << ") is not a margin from -500 to 500 mm; the standard "
                << mm(tilesheet::marginOf(tilesheet::kStandardMargins, problem.side))
                << " is used\n";
    }
    return margins;
}

} // namespace cli
