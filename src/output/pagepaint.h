#pragma once
// The one routine that paints a recorded page into a rectangle, with its white paper, its
// outline and its drop shadow: the page view and the preview's thumbnails both paint with it.

#include "platform/emf/emfmetafile.h"

#include <QPainter>
#include <QRect>
#include <memory>

namespace output {

class TBRPrinter;

// Paints `picture` (or none) into `rect`. With a picture or with `frame`: the white paper, the
// picture stretched over the whole rectangle, a black outline and a two-pixel shadow along the
// right and bottom edges. Without either nothing is painted.
void PaintPage(const platform::TMetafile *picture, QPainter &painter, const QRect &rect,
               bool frame);

// Page n of `output` for the caller, or nullptr when it is not there (yet) or cannot be read:
// a damaged page is drawn as nothing.
std::unique_ptr<platform::TMetafile> FetchPage(TBRPrinter &output, int n);

} // namespace output
