#include "app/guidewindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <vector>

namespace app {

namespace {

const QSize kGuideSize(760, 640);
// The guide's screenshots are shown at most this wide, so that the text never scrolls sideways.
constexpr int kMaxPictureWidth = 640;

// A picture of the guide, read from its file (the names are relative to the guide's own file).
QImage pictureOf(const QTextDocument &document, const QString &name)
{
    const QUrl url = document.baseUrl().resolved(QUrl(name));
    return url.isLocalFile() ? QImage(url.toLocalFile()) : QImage();
}

// Narrows every picture wider than kMaxPictureWidth to that width, keeping its proportions.
void fitPictures(QTextDocument &document)
{
    struct Narrowed {
        int position, length;
        QTextImageFormat format;
    };
    std::vector<Narrowed> narrowed; // changed after the walk, which a change would disturb
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            if (!format.isValid())
                continue;
            const QImage picture = pictureOf(document, format.name());
            if (picture.isNull() || picture.width() <= kMaxPictureWidth)
                continue;
            format.setWidth(kMaxPictureWidth);
            format.setHeight(picture.height() * kMaxPictureWidth / picture.width());
            narrowed.push_back({fragment.position(), fragment.length(), format});
        }
    }
    for (const Narrowed &picture : narrowed) {
        QTextCursor cursor(&document);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
}

// F1 opens the guide, wherever the focus is; the key goes no further.
class GuideKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        ShowGuide(QApplication::activeWindow());
        return true;
    }
};

} // namespace

QString GuideFile(const QString &programFolder)
{
    const QDir programs(programFolder);
    // Installed on Windows: beside the program; installed elsewhere: bin/../share; run from the
    // build folder: src/app/../../share.
    for (const QString &place :
         {QStringLiteral("vejledning.md"), QStringLiteral("../share/tavleplanner/vejledning.md"),
          QStringLiteral("../../share/tavleplanner/vejledning.md")}) {
        const QFileInfo guide(programs.filePath(place));
        if (guide.isFile())
            return guide.canonicalFilePath();
    }
    return {};
}

QString GuideFile() { return GuideFile(QCoreApplication::applicationDirPath()); }

QWidget *ShowGuide(QWidget *over)
{
    QWidget *owner = over != nullptr ? over->window() : nullptr;
    if (owner != nullptr) {
        if (auto *open = owner->findChild<QWidget *>(QStringLiteral("GuideWindow"),
                                                     Qt::FindDirectChildrenOnly)) {
            open->show();
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    // A window of its own, owned by the window it was asked from: above a modal window it
    // still takes the mouse and the keys.
    auto *window = new QWidget(owner, Qt::Window);
    window->setObjectName(QStringLiteral("GuideWindow"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromUtf8("Tavleplanner – vejledning"));
    auto *browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("GuideText"));
    browser->setAccessibleName(QStringLiteral("Vejledning"));
    browser->setOpenExternalLinks(true);
    const QString file = GuideFile();
    if (file.isEmpty())
        browser->setMarkdown(QString::fromUtf8("# Vejledningen mangler\n\nVejledningen "
                                               "(vejledning.md) er ikke installeret."));
    else { // the images resolve relative to the guide's own file
        browser->setSource(QUrl::fromLocalFile(file), QTextDocument::MarkdownResource);
        fitPictures(*browser->document());
    }
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    // Esc closes it, as it closes the program's other windows.
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(close, &QShortcut::activated, window, &QWidget::close);
    // Whole on the screen, in its middle.
    const QScreen *screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect room =
        screen != nullptr ? screen->availableGeometry() : QRect(QPoint(), kGuideSize);
    const QSize size = kGuideSize.boundedTo(room.size() * 9 / 10);
    window->resize(size);
    window->move(room.center() - QPoint(size.width() / 2, size.height() / 2));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void InstallGuideKey(QApplication &application)
{
    application.installEventFilter(new GuideKey(&application));
}

} // namespace app
