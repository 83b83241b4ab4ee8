#include "app/mainform.h"

#include "app/boardform.h"
#include "app/openreport.h"
#include "app/selectform.h"
#include "app/startposition.h"
#include "app/tapplication.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/fonts.h"
#include "platform/pathtext.h"
#include "platform/recentfiles.h"
#include "platform/settingsfile.h"
#include "timetable/board.h"
#include "timetable/tilediff.h"
#include "ui_mainform.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QCompleter>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>

namespace app {
namespace {

// Where the window first opens on the screen.
const QPoint kStartPosition(352, 178);
const QSize kClientSize(353, 338);

// The one local file a drop carries; empty for anything else.
QString droppedFile(const QMimeData *data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

bool isSavedReport(const QString &file)
{
    return QFileInfo(file).suffix().compare(QStringLiteral("brp"), Qt::CaseInsensitive) == 0;
}

constexpr const char *kEarlierDialogTitle =
    "Vælg den eksportfil, brikkerne på tavlen er udskrevet fra";

// True when `a` and `b` hold the same bytes.
bool sameContent(const QString &a, const QString &b)
{
    QFile first(a), second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 chunk = 1 << 16;
    while (!first.atEnd())
        if (first.read(chunk) != second.read(chunk))
            return false;
    return true;
}

// "Læst: 800 lektioner, 40 lærere, 25 klasser.": what the load gave, counted as the lists
// count names.
std::string readMessage(const timetable::Timetable &table)
{
    const auto count = [](std::size_t n, const char8_t *one, const char8_t *many) {
        return std::to_string(n) + " " + platform::cp1252(n == 1 ? one : many);
    };
    const std::size_t teachers =
        table.FillNameList(timetable::SelectionMode::Teachers).names.size();
    const std::size_t classes = table.FillNameList(timetable::SelectionMode::Classes).names.size();
    return platform::cp1252(u8"Læst: ") + count(table.tiles().size(), u8"lektion", u8"lektioner") +
           ", " + count(teachers, u8"lærer", u8"lærere") + ", " +
           count(classes, u8"klasse", u8"klasser") + ".\r\n\r\n";
}

} // namespace

TMainForm::TMainForm(timetable::Timetable &table, QWidget *parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TMainForm>()), table_(table), anchors_(kClientSize)
{
    setFont(platform::windowFont());
    ui_->setupUi(this);
    resize(kClientSize);
    placeAtStart(*this, kStartPosition);

    openDialog_ = new QFileDialog(this);
    openDialog_->setObjectName("OpenDialog");
    openDialog_->setFileMode(QFileDialog::ExistingFile); // the chosen file must exist
    openDialog_->setNameFilter(QString::fromUtf8("Eksportfil fra ZL2000 (*.csv)"));
    openDialog_->setSizeGripEnabled(true);
    // Its own title: the board's file is an older export, never the one just loaded.
    earlierDialog_ = new QFileDialog(this, QString::fromUtf8(kEarlierDialogTitle));
    earlierDialog_->setObjectName("EarlierDialog");
    earlierDialog_->setFileMode(QFileDialog::ExistingFile);
    earlierDialog_->setNameFilter(openDialog_->nameFilters().constFirst());
    earlierDialog_->setSizeGripEnabled(true);
    openReport_ = [](const QString &file) { OpenReportFile(platform::qStringToPath(file)); };
    setAcceptDrops(true);
    // Beside the cutting-line choice: a look at the record, never a step of the printing.
    boardButton_ = new QPushButton(QStringLiteral("Tavlen"), this);
    boardButton_->setObjectName(QStringLiteral("ButtonBoard"));
    boardButton_->setGeometry(179, 304, 75, 25);
    boardButton_->setEnabled(false);
    anchors_.add(boardButton_, Anchor::Left | Anchor::Bottom);

    anchors_.add(ui_->Memo, Anchor::Left | Anchor::Top | Anchor::Right | Anchor::Bottom);
    for (QWidget *button :
         {static_cast<QWidget *>(ui_->ButtonSource), static_cast<QWidget *>(ui_->ButtonEarlier),
          static_cast<QWidget *>(ui_->ButtonTeachers), static_cast<QWidget *>(ui_->Button1),
          static_cast<QWidget *>(ui_->ButtonClasses)})
        anchors_.add(button, Anchor::Left | Anchor::Bottom);
    anchors_.add(ui_->CBRammer, Anchor::Left | Anchor::Bottom);
    anchors_.add(ui_->Label1, Anchor::Left | Anchor::Bottom);
    // Smaller than its design, the window would cut its controls off.
    setMinimumSize(kClientSize);

    connect(ui_->ButtonSource, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonSourceClick(); }); });
    connect(ui_->ButtonEarlier, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonEarlierClick(); }); });
    connect(ui_->ButtonTeachers, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonTeachersClick(); }); });
    connect(ui_->ButtonClasses, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonClassesClick(); }); });
    connect(ui_->Button1, &QPushButton::clicked, this,
            [this] { runHandler([this] { Button1Click(); }); });
    connect(boardButton_, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonBoardClick(); }); });

    // The cutting-line choice lasts from one run to the next, with the other settings.
    const QString cutFramesKey = QStringLiteral("choices/cutFrames");
    ui_->CBRammer->setChecked(platform::UserSetting(cutFramesKey).toBool());
    connect(ui_->CBRammer, &QCheckBox::toggled, this,
            [cutFramesKey](bool on) { platform::SetUserSetting(cutFramesKey, on); });
}

TMainForm::~TMainForm() = default;

void TMainForm::setSelectForm(TSelectForm *selectForm)
{
    selectForm_ = selectForm;
    connect(selectForm_, &TSelectForm::runActiveChanged, this, &TMainForm::setRunActive);
    selectForm_->setEarlierExport(&earlier_);
    selectForm_->setBoard(board_);
}

bool TMainForm::runActive() const { return selectForm_ != nullptr && selectForm_->runActive(); }

void TMainForm::setBoard(timetable::TBoard *board)
{
    board_ = board;
    boardButton_->setEnabled(board_ != nullptr && !runActive());
}

void TMainForm::ButtonBoardClick()
{
    if (board_ == nullptr || runActive())
        return;
    TBoardForm form(*board_, table_, this);
    form.showMode(lastMode_);
    form.exec();
}

void TMainForm::setRunActive(bool active)
{
    boardButton_->setEnabled(!active && board_ != nullptr);
    ui_->ButtonSource->setEnabled(!active);
    ui_->ButtonEarlier->setEnabled(!active);
    ui_->Button1->setEnabled(!active);
    // The list buttons come back only once a file has been loaded.
    const bool listable = !active && !exportFilePath_.isEmpty();
    ui_->ButtonTeachers->setEnabled(listable);
    ui_->ButtonClasses->setEnabled(listable);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (runActive()) // the run still reads the tiles this window's table owns
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    anchors_.apply(size());
}

void TMainForm::appendMessage(const std::string &message)
{
    QString text = platform::toQString(message);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor(ui_->Memo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    ui_->Memo->moveCursor(QTextCursor::End);
    ui_->Memo->ensureCursorVisible();
}

bool TMainForm::cutFrames() const { return ui_->CBRammer->isChecked(); }

std::optional<QString> TMainForm::runOpenDialog(QFileDialog &dialog, platform::TRecentFile kind)
{
    // The dialog starts where the user last found such a file, with that file chosen; the
    // board's file, never chosen yet, in the loaded export's folder with no file chosen.
    const QString last = platform::RecentFile(kind);
    if (!last.isEmpty() && QFileInfo(last).dir().exists()) {
        dialog.setDirectory(QFileInfo(last).absolutePath());
        dialog.selectFile(QFileInfo(last).fileName());
    } else if (kind == platform::TRecentFile::EarlierFile && !exportFilePath_.isEmpty()) {
        dialog.setDirectory(QFileInfo(exportFilePath_).absolutePath());
    }
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // A name typed and taken with Enter leaves the file name completion's list open over this
    // window, where it holds the keys: it goes with the dialog.
    for (QCompleter *completer : dialog.findChildren<QCompleter *>())
        if (completer->popup() != nullptr)
            completer->popup()->hide();
    activateWindow();
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> TMainForm::chooseFile(QFileDialog &dialog, platform::TRecentFile kind)
{
    return chooseFile_ ? chooseFile_() : runOpenDialog(dialog, kind);
}

void TMainForm::ButtonSourceClick()
{
    if (runActive())
        return;
    const std::optional<QString> chosen =
        chooseFile(*openDialog_, platform::TRecentFile::ExportFile);
    if (!chosen)
        return;
    LoadExportFile(*chosen);
}

void TMainForm::LoadExportFile(const QString &chosen)
{
    if (runActive())
        return;
    const QFileInfo file(chosen);
    if (!file.exists())
        return;
    const QString path = file.absoluteFilePath();
    const unsigned loadsBefore = table_.loads();
    try {
        table_.LoadBrikker(platform::qStringToPath(path));
    } catch (const platform::ERefusedFile &) {
        throw; // nothing was read: the tiles loaded before stay, and so does their file's name
    } catch (const timetable::ENotAnExport &) {
        throw; // no export: the tiles, their file's name and the message area stay as they were
    } catch (...) {
        if (table_.loads() != loadsBefore) {
            exportFilePath_ = path; // the complete lines read before the failure are loaded
        } else {
            // Nothing was read (no permission, too many open files, not a file): the tiles
            // loaded before stay, and so does their file's name on the sheets.
            std::string message = platform::cp1252(u8"Filen ") +
                                  platform::fromQString(file.fileName()) +
                                  platform::cp1252(u8" kunne ikke læses.");
            if (!exportFilePath_.isEmpty())
                message += platform::cp1252(u8" Brikkerne fra ") +
                           platform::fromQString(QFileInfo(exportFilePath_).fileName()) +
                           platform::cp1252(u8" er stadig indlæst.");
            appendMessage(message + "\r\n\r\n");
        }
        throw;
    }
    exportFilePath_ = path;
    platform::SetRecentFile(platform::TRecentFile::ExportFile, path);
    appendMessage(readMessage(table_));
    ui_->ButtonTeachers->setEnabled(true);
    ui_->ButtonClasses->setEnabled(true);
    // The next step has the keyboard, and shows it.
    ui_->ButtonTeachers->setFocus(Qt::TabFocusReason);
    // Styles frame the focused button only after a keyboard focus change in the window; the
    // focus just moved here for the keyboard's sake.
    setAttribute(Qt::WA_KeyboardFocusChange);
    ui_->ButtonTeachers->update();
    appendMessage(platform::cp1252(
        u8"Tryk på knappen [Vælg lærere] eller [Vælg klasser] for at vælge, om du vil udskrive "
        u8"med fast lærerfarve eller fast klassefarve på brikkerne!\r\n\r\n"));
    reportChanges();
}

void TMainForm::ButtonEarlierClick()
{
    if (runActive())
        return;
    const std::optional<QString> chosen =
        chooseFile(*earlierDialog_, platform::TRecentFile::EarlierFile);
    if (!chosen || !QFileInfo::exists(*chosen))
        return;
    const QString path = QFileInfo(*chosen).absoluteFilePath();
    if (refusedAsLoaded(path))
        return;
    // A file that fails, even part-way, is no board to compare with: the choice made before
    // stays, and the failure goes to the error display as a load's does.
    auto earlier = std::make_unique<timetable::Timetable>(
        [this](const std::string &message) { appendMessage(message); });
    earlier->LoadBrikker(platform::qStringToPath(path));
    if (!confirmedAsBoard(*earlier))
        return;
    earlier_.table = std::move(earlier);
    earlier_.path = path;
    platform::SetRecentFile(platform::TRecentFile::EarlierFile, path);
    appendMessage(platform::cp1252(u8"Brikkerne på tavlen er udskrevet fra ") +
                  platform::fromQString(path) + ".\r\n\r\n");
    reportChanges();
}

bool TMainForm::refusedAsLoaded(const QString &path)
{
    if (exportFilePath_.isEmpty())
        return false;
    const QFileInfo chosen(path), loaded(exportFilePath_);
    const bool same = chosen.canonicalFilePath() == loaded.canonicalFilePath();
    if (!same && !sameContent(path, exportFilePath_))
        return false;
    // Compared with itself, the export would show no change at all, which the user would take
    // for the truth.
    const QString why =
        same ? QString::fromUtf8("%1 er den eksportfil, der er indlæst nu.").arg(chosen.fileName())
             : QString::fromUtf8("%1 er magen til den eksportfil, der er indlæst nu (%2).")
                   .arg(chosen.fileName(), loaded.fileName());
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                    why + QString::fromUtf8(" Vælg den tidligere eksportfil, som brikkerne på "
                                            "tavlen er udskrevet fra."),
                    QMessageBox::Ok, this);
    box.exec();
    return true;
}

bool TMainForm::confirmedAsBoard(const timetable::Timetable &earlier)
{
    if (!table_.hasTileList())
        return true;
    // A lesson that changed is one tile down and one new; another school's file changes all.
    const timetable::ChangeCounts counts = timetable::CountChanges(earlier, table_);
    const std::size_t changed = std::max(counts.added, counts.removed);
    const std::size_t tiles = std::max(earlier.tiles().size(), table_.tiles().size());
    if (2 * changed <= tiles)
        return true;
    return askYesOrNo(this, QString::fromUtf8("Næsten alle brikker er ændret (%1 af %2). Er det "
                                              "den rigtige tidligere fil?")
                                .arg(changed)
                                .arg(tiles));
}

void TMainForm::reportChanges()
{
    if (!table_.hasTileList())
        return;
    if (!earlier_.chosen()) {
        reportBoard();
        return;
    }
    const timetable::ChangeCounts counts = timetable::CountChanges(*earlier_.table, table_);
    if (counts.added == 0 && counts.removed == 0) {
        appendMessage(noChangesMessage());
        return;
    }
    const std::string added =
        counts.added == 1 ? "1 ny brik" : std::to_string(counts.added) + " nye brikker";
    const std::string removed =
        std::to_string(counts.removed) + (counts.removed == 1 ? " brik skal" : " brikker skal");
    appendMessage(platform::cp1252(u8"Ændringer siden ") +
                  platform::fromQString(QFileInfo(earlier_.path).fileName()) + ": " + added + ", " +
                  removed + " tages ned.\r\n\r\n");
}

void TMainForm::reportBoard()
{
    if (board_ == nullptr)
        return;
    for (const timetable::SelectionMode mode :
         {timetable::SelectionMode::Teachers, timetable::SelectionMode::Classes}) {
        const std::vector<timetable::BoardName> names = board_->Names(mode);
        if (names.empty())
            continue;
        const auto latest =
            std::max_element(names.begin(), names.end(), [](const auto &a, const auto &b) {
                return a.source.printedAt < b.source.printedAt;
            });
        const QString when = QDateTime::fromMSecsSinceEpoch(latest->source.printedAt)
                                 .toLocalTime()
                                 .toString(QStringLiteral("dd.MM.yyyy"));
        const QString file = QFileInfo(QString::fromStdString(latest->source.filePath)).fileName();
        const timetable::ChangeCounts counts =
            timetable::CompareWithBoard(*board_, table_, mode).counts;
        const bool teachers = mode == timetable::SelectionMode::Teachers;
        const QString text =
            QString::fromUtf8("Tavlen (%1): %2 %3, senest udskrevet %4 fra %5. Ændringer: %6 %7, "
                              "%8 skal tages ned.\r\n\r\n")
                .arg(QString::fromUtf8(teachers ? "lærere" : "klasser"))
                .arg(names.size())
                .arg(QString::fromUtf8(names.size() == 1 ? "navn" : "navne"))
                .arg(when, file)
                .arg(counts.added)
                .arg(QString::fromUtf8(counts.added == 1 ? "ny brik" : "nye brikker"))
                .arg(counts.removed);
        appendMessage(platform::fromQString(text));
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!runActive() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty() || runActive())
        return;
    event->acceptProposedAction();
    // The drop ends before a window or an error box opens: the program it came from is not
    // held up meanwhile.
    QTimer::singleShot(0, this, [this, file] {
        runHandler([this, &file] {
            if (isSavedReport(file)) {
                if (openReport_)
                    openReport_(file);
            } else {
                LoadExportFile(file);
            }
        });
    });
}

void TMainForm::listing(timetable::SelectionMode mode)
{
    if (runActive())
        return;
    lastMode_ = mode;
    const timetable::NameListing names = table_.Listing(mode);
    if (selectForm_) {
        selectForm_->setNames(names.names);
        placeBeside(*selectForm_, *this);
        selectForm_->exec();
    }
}

void TMainForm::ButtonTeachersClick() { listing(timetable::SelectionMode::Teachers); }

void TMainForm::ButtonClassesClick() { listing(timetable::SelectionMode::Classes); }

void TMainForm::Button1Click() { close(); }

} // namespace app
