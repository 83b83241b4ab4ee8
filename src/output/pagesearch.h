#pragma once
// The preview's text search on one recorded page. Every text-output record of the page is
// read as Windows-1252 text (a 16-bit text converted character by character, so that €, Š, Œ
// and the other letters above U+00FF are found as well) and the text is looked for within
// each record alone: a text spread over two labels is not found. Without `caseMatters` both
// sides are upper-cased by the Windows-1252 letter rules (æ → Æ, œ → Œ). An empty text is
// never found. One search runs at a time in the process; another caller waits, processing
// its thread's pending events, until the first has finished.

#include "platform/emf/emfmetafile.h"

#include <QRectF>
#include <functional>
#include <string_view>
#include <vector>

namespace output {

// `text` is Windows-1252.
bool PageContainsText(std::string_view text, const platform::TMetafile &page, bool caseMatters);

// Where `text` (Windows-1252) stands on `page`, found as PageContainsText finds it: one box per
// occurrence, in the page's pixels (the grid of its Width() x Height()), each as high as its
// line and as wide as the characters found.
std::vector<QRectF> TextHitBoxes(std::string_view text, const platform::TMetafile &page,
                                 bool caseMatters);

// Called by every search while it holds the process's one search (for tests; none normally).
void SetPageSearchProbe(std::function<void()> probe);

} // namespace output
