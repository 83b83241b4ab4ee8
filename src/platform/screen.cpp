#include "platform/screen.h"

#include "platform/units.h"

#include "platform/rounding.h"

#include <QGuiApplication>
#include <QScreen>
#include <atomic>

namespace platform {

namespace {
std::atomic<int> overridden{0};
} // namespace

int screenPixelsPerInch()
{
    if (const int value = overridden.load(); value > 0)
        return value;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const auto dpi = static_cast<int>(roundHalfEven(screen->logicalDotsPerInchY()));
            if (dpi > 0)
                return dpi;
        }
    }
    return screenDpi;
}

ScreenResolutionOverride::ScreenResolutionOverride(int pixelsPerInch)
    : previous_(overridden.exchange(pixelsPerInch))
{}

ScreenResolutionOverride::~ScreenResolutionOverride() { overridden.store(previous_); }

} // namespace platform
