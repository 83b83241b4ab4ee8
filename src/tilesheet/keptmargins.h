#pragma once
// The tile sheet's four page margins, and where they are kept between runs: per printer (the
// CUPS queue the sheets go to) in the user's settings, since they make up for one printer's
// paper feed. A settings file that is damaged or cannot be written never stops a run: what
// cannot be read is the standard value, the reader is told what was wrong so that the program
// can say so, and a write says whether it reached the file.

#include <QString>
#include <string>
#include <vector>

namespace tilesheet {

struct Margins {
    double top, left, bottom, right; // millimetres
    bool operator==(const Margins &) const = default;
};

inline constexpr Margins kStandardMargins{8.5, 12.0, 9.0, 20.0};

enum class MarginSide { Top, Left, Bottom, Right };

// The margin of `side`, in millimetres.
constexpr double marginOf(const Margins &margins, MarginSide side)
{
    switch (side) {
    case MarginSide::Top:
        return margins.top;
    case MarginSide::Left:
        return margins.left;
    case MarginSide::Bottom:
        return margins.bottom;
    case MarginSide::Right:
        break;
    }
    return margins.right;
}

// What reading a printer's kept margins found unusable, for the program to tell in its words.
struct KeptMarginsProblem {
    enum class Kind {
        // A kept value that is no number or lies outside the margin fields' range: that margin
        // reads as its standard value.
        Unusable,
        // Kept margins that leave the sheet no room for its tiles: all four read as standard.
        NoRoom,
    };
    Kind kind;
    MarginSide side = MarginSide::Top; // the unusable value's margin
    QString kept;                      // the unusable value as the file holds it
};

struct TRapFormInputs;
// Gives a tile sheet's inputs the four margins.
void SetMargins(TRapFormInputs &inputs, const Margins &margins);

class KeptMargins {
public:
    // The user's settings (QSettings, organisation and application "Tavleplanner").
    KeptMargins();
    // The settings file `file` (INI).
    explicit KeptMargins(QString file);

    // The margins kept for `printer` (a queue name, Windows-1252); the standard value for each
    // margin that is not kept, and for each that cannot be used (added to `problems`).
    Margins read(const std::string &printer,
                 std::vector<KeptMarginsProblem> *problems = nullptr) const;
    // Keeps `margins` for `printer`. False when the settings file could not be written. A file
    // that did not read cleanly is kept as "<file>.damaged" first.
    bool write(const std::string &printer, const Margins &margins) const;
    // Whether the settings file reads cleanly (platform::SettingsReadCleanly).
    bool readsCleanly() const;

    const QString &file() const { return file_; }

private:
    QString file_;
};

} // namespace tilesheet
