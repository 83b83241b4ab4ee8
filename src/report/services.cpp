#include "report/services.h"

#include <utility>

namespace report {

namespace {
// The services of the innermost scope and its loaded-file flag. Only the user-interface thread
// installs and reads them.
struct Installed {
    TBRServices services;
    bool loadedFile = false;
};

Installed &installed()
{
    static Installed current;
    return current;
}
} // namespace

TBRServicesScope::TBRServicesScope(TBRServices services)
    : previous_(std::exchange(installed().services, std::move(services))),
      previousLoadedFile_(std::exchange(installed().loadedFile, false))
{}

TBRServicesScope::~TBRServicesScope()
{
    installed().services = std::move(previous_);
    installed().loadedFile = previousLoadedFile_;
}

const TBRServices &TBRServicesScope::Current() { return installed().services; }

bool TBRServicesScope::LoadedFile() { return installed().loadedFile; }

void TBRServicesScope::SetLoadedFile(bool loaded) { installed().loadedFile = loaded; }

} // namespace report
