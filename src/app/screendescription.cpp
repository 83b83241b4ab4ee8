#include "app/screendescription.h"

#include <QAccessible>
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QSaveFile>
#include <QWidget>

namespace app {

namespace {

constexpr const char *kScreenFileVariable = "TAVLE_SCREEN_FILE";
constexpr int kIntervalMs = 200;
// Deep enough for every control of the program's windows; a guard against a cycle.
constexpr int kDeepest = 40;

void describeObject(QAccessibleInterface *object, int depth, QByteArray &out)
{
    if (!object || !object->isValid() || depth > kDeepest)
        return;
    const QAccessible::State state = object->state();
    if (state.invisible)
        return;
    const QRect place = object->rect();
    QJsonObject line{
        {QStringLiteral("depth"), depth},
        {QStringLiteral("role"),
         QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(object->role()))},
        {QStringLiteral("name"), object->text(QAccessible::Name)},
        {QStringLiteral("description"), object->text(QAccessible::Description)},
        {QStringLiteral("x"), place.x()},
        {QStringLiteral("y"), place.y()},
        {QStringLiteral("width"), place.width()},
        {QStringLiteral("height"), place.height()},
        {QStringLiteral("enabled"), !state.disabled},
        {QStringLiteral("focused"), bool(state.focused)},
        {QStringLiteral("checked"), bool(state.checked)},
    };
    if (QAccessibleTextInterface *text = object->textInterface())
        line.insert(QStringLiteral("text"), text->text(0, text->characterCount()));
    else
        line.insert(QStringLiteral("text"), object->text(QAccessible::Value));
    out += QJsonDocument(line).toJson(QJsonDocument::Compact);
    out += '\n';
    for (int i = 0; i < object->childCount(); ++i)
        describeObject(object->child(i), depth + 1, out);
}

} // namespace

ScreenDescription::ScreenDescription(QString file, QObject *parent)
    : QObject(parent), file_(std::move(file))
{
    connect(&timer_, &QTimer::timeout, this, &ScreenDescription::write);
    timer_.start(kIntervalMs);
}

QByteArray ScreenDescription::describe()
{
    QByteArray out;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            describeObject(QAccessible::queryAccessibleInterface(window), 0, out);
    return out;
}

void ScreenDescription::write()
{
    QByteArray now = describe();
    if (now == written_)
        return;
    // Whole or not at all: the reader never meets half a description.
    QSaveFile file(file_);
    if (file.open(QIODevice::WriteOnly) && file.write(now) == now.size() && file.commit())
        written_ = std::move(now);
}

void startScreenDescriptionIfAsked(QObject *application)
{
    const QString file = qEnvironmentVariable(kScreenFileVariable);
    if (!file.isEmpty())
        new ScreenDescription(file, application);
}

} // namespace app
