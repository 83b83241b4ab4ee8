#include "report/services.h"

#include <utility>

namespace report {

namespace {
// The services of the innermost scope. Only the user-interface thread installs and reads them.
TBRServices &installed()
{
    static TBRServices services;
    return services;
}
} // namespace

TBRServicesScope::TBRServicesScope(TBRServices services)
    : previous_(std::exchange(installed(), std::move(services)))
{}

TBRServicesScope::~TBRServicesScope() { installed() = std::move(previous_); }

const TBRServices &TBRServicesScope::Current() { return installed(); }

} // namespace report
