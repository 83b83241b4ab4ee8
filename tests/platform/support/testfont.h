#pragma once
// The font the platform tests measure and draw with: Arial (its metric twin where it is not
// installed) at a point size and style.

#include "platform/canvas.h"

namespace platformtest {

inline platform::TFont arial(int points, unsigned style = 0)
{
    platform::TFont f;
    f.Name = "Arial";
    f.Size = points;
    f.Style = style;
    return f;
}

} // namespace platformtest
