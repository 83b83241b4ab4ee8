#pragma once
// TBRPreviewState, what every preview window shares: the status text and whether a window is
// moving the thumbnail selection itself. A header of its own so that the window and the
// preview class that makes it need not include each other.

#include <string>

namespace preview {

// The preview windows' shared state (user-interface thread only).
struct TBRPreviewState {
    // The report title when a preview opens, the file name after a load; the third status
    // panel shows it. Windows-1252.
    std::string StatusText;
    // True only while a window moves the thumbnail selection itself, so that the grid's
    // selection handler does not navigate again.
    bool ThumbnailSync = false;

    static TBRPreviewState &Instance();
};

} // namespace preview
