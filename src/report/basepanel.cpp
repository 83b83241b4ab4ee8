#include "report/basepanel.h"

#include <algorithm>

namespace report {

void TBRBasePanel::RemoveControl(TBRPrintable *control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

} // namespace report
