#pragma once
// The metrics a TrueType file gives about itself: the em square, the Windows ascent and descent
// (OS/2 usWinAscent/usWinDescent) and the advance width of the glyph of every Windows-1252 byte,
// all in the file's design units. Read straight from the file so that measuring never depends
// on the machine's font configuration or on a font engine's hinting.

#include <array>
#include <cstdint>
#include <string>

namespace platform {

class FontFace {
public:
    // Reads the file at `path`; throws std::runtime_error when it is missing or malformed.
    explicit FontFace(const std::string &path);

    const std::string &path() const { return path_; }
    int unitsPerEm() const { return unitsPerEm_; }
    int winAscent() const { return winAscent_; }
    int winDescent() const { return winDescent_; }
    // Advance width in design units of the glyph that shows the Windows-1252 byte `byte`
    // (the missing-glyph advance when the font has no glyph for it).
    int advance(unsigned char byte) const { return advances_[byte]; }

private:
    std::string path_;
    int unitsPerEm_ = 0;
    int winAscent_ = 0;
    int winDescent_ = 0;
    std::array<int, 256> advances_{};
};

// The face that realises a font of the given style bits (TFontStyle: bold and italic select
// the file; underline and strike-out do not change metrics). Loaded once per process, safe to
// call from any thread.
const FontFace &faceForStyle(unsigned style);

} // namespace platform
