// The progress window follows the page output's progress in steps of five and cancels it.
#include "output/brprinter.h"
#include "preview/progressform.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct Shown {
    int gauge;
    QString info;
};

Shown shown(preview::TBRProgressForm &form)
{
    return {form.findChild<QProgressBar *>("Gauge")->value(),
            form.findChild<QLabel *>("Info")->text()};
}

} // namespace

TEST(ProgressForm, ShowsOnlyMultiplesOfFiveAsTheyAreWhenHandled)
{
    output::TBRPrinter printer;
    preview::TBRProgressForm form(printer, nullptr, true);
    EXPECT_EQ(printer.Client(), &form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Udskriver"));
    EXPECT_EQ(form.size(), QSize(149, 97));

    printer.SetProgress(25);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(form).gauge, 25);
    EXPECT_EQ(shown(form).info, QStringLiteral("25%  Afsluttet"));

    // A sheet of three tiles: 33 and 66 are never shown, the gauge jumps to 100.
    printer.SetProgress(33);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(form).gauge, 25);
    printer.SetProgress(66);
    printer.SetProgress(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(form).gauge, 100);
    EXPECT_EQ(shown(form).info, QStringLiteral("100%  Afsluttet"));
}

TEST(ProgressForm, AfbrydCancelsThePageOutputAndAHiddenWindowStillListens)
{
    output::TBRPrinter printer;
    preview::TBRProgressForm form(printer, nullptr, false);
    EXPECT_FALSE(form.isVisible());
    printer.SetProgress(40);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(form).gauge, 40);

    EXPECT_FALSE(printer.Cancelled());
    form.findChild<QPushButton *>("CancelButton")->click();
    EXPECT_TRUE(printer.Cancelled());
}
