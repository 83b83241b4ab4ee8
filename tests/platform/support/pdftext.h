#pragma once
// What a PDF file holds of its text: whether the glyphs are set in an embedded font with a
// Unicode map (text that stays text) and, where pdftotext is installed, the text it finds.

#include <QString>
#include <optional>

namespace platformtest {

struct PdfText {
    bool readable = false;
    bool embedsFontFile = false; // a TrueType font file, not outlines
    bool mapsToUnicode = false;
    std::optional<QString> text; // pdftotext's words, trimmed; none without pdftotext
};

PdfText pdfText(const QString &path);

} // namespace platformtest
