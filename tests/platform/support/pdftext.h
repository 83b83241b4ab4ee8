#pragma once
// Checks that a PDF file keeps its text as text: set in an embedded TrueType font with a
// Unicode map, not drawn as outlines, and (where pdftotext is installed) extracted as given.

#include <QString>

namespace platformtest {

// Records a failure of the calling test for whatever the file lacks; skips the extraction
// check when pdftotext is not installed.
void expectTextInPdf(const QString &path, const QString &text);

} // namespace platformtest
