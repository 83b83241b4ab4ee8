#pragma once
// The preview settings and the preview slot of a report, as the report names them. They live
// with the page output, where the preview window that reads them lives too.

#include "output/previewsettings.h"

namespace report {

using output::TBRPreviewProvider;
using output::TBRPreviewRequest;
using output::TBRPreviewSettings;
using output::TBRZoomState;
using output::TFormStyle;
using output::TWindowState;

} // namespace report
