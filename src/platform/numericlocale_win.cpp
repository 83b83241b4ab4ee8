#include "platform/numericlocale.h"

namespace platform {

CNumericLocale::CNumericLocale() : previousMode_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE))
{
    if (const char *current = std::setlocale(LC_NUMERIC, nullptr))
        previous_ = current;
    std::setlocale(LC_NUMERIC, "C");
}

CNumericLocale::~CNumericLocale()
{
    if (!previous_.empty())
        std::setlocale(LC_NUMERIC, previous_.c_str());
    if (previousMode_ != -1)
        _configthreadlocale(previousMode_);
}

} // namespace platform
