#include "tilesheet/keptmargins.h"

#include "platform/cp1252.h"
#include "platform/recentfiles.h"
#include "tilesheet/rapform.h"

#include <QFile>
#include <QSettings>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tilesheet {
namespace {

// The margins' keys below the printer's group, each with its member.
constexpr std::array<std::pair<const char *, double Margins::*>, 4> kKeys{{
    {"top", &Margins::top},
    {"left", &Margins::left},
    {"bottom", &Margins::bottom},
    {"right", &Margins::right},
}};

QString groupOf(const std::string &printer)
{
    return QStringLiteral("margins/") + platform::toQString(printer);
}

} // namespace

KeptMargins::KeptMargins() : file_(platform::UserSettingsFile()) {}

KeptMargins::KeptMargins(QString file) : file_(std::move(file)) {}

Margins KeptMargins::read(const std::string &printer) const
{
    Margins margins = kStandardMargins;
    if (printer.empty())
        return margins;
    const QSettings settings(file_, QSettings::IniFormat);
    for (const auto &[key, member] : kKeys) {
        bool ok = false;
        const double value =
            settings.value(groupOf(printer) + '/' + QLatin1String(key)).toString().toDouble(&ok);
        if (ok && std::isfinite(value))
            margins.*member = std::clamp(value, -static_cast<double>(kMarginLimitMm),
                                         static_cast<double>(kMarginLimitMm));
    }
    return margins;
}

QSettings::Status KeptMargins::store(const std::string &printer, const Margins &margins) const
{
    QSettings settings(file_, QSettings::IniFormat);
    for (const auto &[key, member] : kKeys)
        settings.setValue(groupOf(printer) + '/' + QLatin1String(key),
                          QString::number(margins.*member, 'f', 1));
    settings.sync();
    return settings.status();
}

bool KeptMargins::write(const std::string &printer, const Margins &margins) const
{
    if (printer.empty())
        return true; // nothing to keep them for
    QSettings::Status status = store(printer, margins);
    if (status == QSettings::FormatError) {
        // Qt leaves a file it cannot parse as it is: kept aside, a new one takes its place.
        const QString aside = file_ + QStringLiteral(".damaged");
        QFile::remove(aside);
        if (QFile::rename(file_, aside))
            status = store(printer, margins);
    }
    return status == QSettings::NoError;
}

void SetMargins(TRapFormInputs &inputs, const Margins &margins)
{
    inputs.TopMargin = margins.top;
    inputs.LeftMargin = margins.left;
    inputs.BottomMargin = margins.bottom;
    inputs.RightMargin = margins.right;
}

} // namespace tilesheet
