#include "preview/previewstate.h"

namespace preview {

// One state for the process, as every preview window shares it.
TBRPreviewState &TBRPreviewState::Instance()
{
    static TBRPreviewState state;
    return state;
}

} // namespace preview
