#pragma once
// The tile sheet's four page margins, and where they are kept between runs: per printer (the
// CUPS queue the sheets go to) in the user's settings, since they make up for one printer's
// paper feed. A settings file that is damaged or cannot be written never stops a run: what
// cannot be read is the standard value, and a write says whether it reached the file.

#include <QSettings>
#include <QString>
#include <string>

namespace tilesheet {

struct Margins {
    double top, left, bottom, right; // millimetres
    bool operator==(const Margins &) const = default;
};

inline constexpr Margins kStandardMargins{8.5, 12.0, 9.0, 20.0};

struct TRapFormInputs;
// Gives a tile sheet's inputs the four margins.
void SetMargins(TRapFormInputs &inputs, const Margins &margins);

class KeptMargins {
public:
    // The user's settings (QSettings, organisation and application "Tavleplanner").
    KeptMargins();
    // The settings file `file` (INI).
    explicit KeptMargins(QString file);

    // The margins kept for `printer` (a queue name, Windows-1252); the standard value for
    // each margin that is not kept or cannot be read as a number.
    Margins read(const std::string &printer) const;
    // Keeps `margins` for `printer`. False when the settings file could not be written.
    bool write(const std::string &printer, const Margins &margins) const;

    const QString &file() const { return file_; }

private:
    QSettings::Status store(const std::string &printer, const Margins &margins) const;

    QString file_;
};

} // namespace tilesheet
