#include "cli/boardcommand.h"

#include "cli/commandline.h"
#include "cli/marginsoption.h"
#include "cli/tavleprint.h"

#include "platform/cp1252.h"
#include "platform/exitcodes.h"
#include "platform/pathtext.h"
#include "platform/sqlite.h"
#include "timetable/timetable.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <optional>

namespace cli {
namespace {

int boardMistake(std::ostream &err, const std::string &problem)
{
    return usageError(err, "board", "board: " + problem);
}

std::string localTime(std::int64_t msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm"))
        .toStdString();
}

} // namespace

std::unique_ptr<timetable::TBoard> openBoard(std::ostream &err)
{
    try {
        return std::make_unique<timetable::TBoard>(
            timetable::TBoard::DefaultPath(), [&err](const std::string &m) { toTerminal(err, m); },
            true);
    } catch (const platform::ESqliteError &e) {
        err << "tavleprint: the record of the board " << timetable::TBoard::DefaultPath().string()
            << " cannot be opened: " << e.what() << "\n";
        return nullptr;
    }
}

int runBoardCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    timetable::SelectionMode mode = timetable::SelectionMode::Teachers;
    OneOf given{std::string(kOneModeOnly)};
    std::optional<std::int64_t> at;
    const std::string_view badDate = "--at takes a date as YYYY-MM-DD";
    const Words words{
        .options = {modeOption(timetable::SelectionMode::Teachers, given, mode),
                    modeOption(timetable::SelectionMode::Classes, given, mode),
                    {"--at",
                     [&](const std::string &day, std::string &problem) {
                         const QDate date =
                             QDate::fromString(QString::fromStdString(day), Qt::ISODate);
                         if (!date.isValid())
                             problem = badDate;
                         // The board as that day's last print left it.
                         at = date.endOfDay().toMSecsSinceEpoch();
                     },
                     badDate}},
        .positional = [](const std::string &word,
                         std::string &problem) { problem = "takes no file or name: " + word; },
    };
    std::string problem;
    if (readWords(words, args, problem) && !given)
        problem = "give --teachers or --classes";
    if (!problem.empty())
        return boardMistake(err, problem);

    const auto board = openBoard(err);
    if (!board)
        return platform::ExitCode::Failure;
    try {
        const auto names = board->Names(mode, at);
        if (names.empty())
            out << "nothing recorded on the "
                << (mode == timetable::SelectionMode::Teachers ? "teachers'" : "classes'")
                << " board\n";
        for (const timetable::BoardName &name : names)
            out << platform::cp1252ToUtf8(name.name) << '\t' << name.tileCount << '\t'
                << localTime(name.source.printedAt) << '\t' << name.source.filePath << '\t'
                << name.source.printer << '\n';
    } catch (const platform::ESqliteError &e) {
        err << "tavleprint: the record of the board cannot be read: " << e.what() << "\n";
        return platform::ExitCode::Failure;
    }
    out.flush();
    return out ? platform::ExitCode::Success : platform::ExitCode::Failure;
}

PrintRecorder::PrintRecorder(bool enabled, timetable::SelectionMode mode, std::string exportPath,
                             std::string queue, std::ostream &err)
    : enabled_(enabled), mode_(mode), exportPath_(std::move(exportPath)), queue_(std::move(queue)),
      err_(err)
{}

PrintRecorder::~PrintRecorder() = default;

void PrintRecorder::Printed(const timetable::Timetable &table, const std::string &name)
{
    if (!enabled_)
        return;
    try {
        if (!board_) {
            board_ = openBoard(err_);
            if (!board_) {
                enabled_ = false; // said once
                return;
            }
            source_ = {
                QFileInfo(platform::pathToQString(exportPath_)).absoluteFilePath().toStdString(),
                table.fileHash(), platform::cp1252ToUtf8(queueFor(queue_)), 0};
        }
        board_->RecordPrint(mode_, table, {name}, source_);
    } catch (const platform::ESqliteError &e) {
        err_ << "tavleprint: warning: " << platform::cp1252ToUtf8(name)
             << " was printed but not recorded on the board: " << e.what() << "\n";
    }
}

} // namespace cli
