#include "platform/numericlocale.h"

namespace platform {

CNumericLocale::CNumericLocale() : own_(locale_t{}), previous_(locale_t{})
{
    // The thread's rules as they stand, with the numbers of the C locale; should that copy fail,
    // the plain C locale serves.
    if (const locale_t base = duplocale(uselocale(locale_t{}))) {
        own_ = newlocale(LC_NUMERIC_MASK, "C", base);
        if (own_ == locale_t{})
            freelocale(base); // newlocale leaves a base it could not use to the caller
    }
    if (own_ == locale_t{})
        own_ = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (own_ != locale_t{})
        previous_ = uselocale(own_);
}

CNumericLocale::~CNumericLocale()
{
    if (own_ == locale_t{})
        return;
    uselocale(previous_);
    freelocale(own_);
}

} // namespace platform
