#pragma once
// The screen's pixels per inch, which the report engine's pixel geometry is defined against.

namespace platform {

// The primary screen's logical pixels per inch, rounded; 96 when there is no screen.
int screenPixelsPerInch();

// Makes screenPixelsPerInch() answer `pixelsPerInch` while it lives (tests, and tools that must
// lay reports out exactly as on a standard screen).
class ScreenResolutionOverride {
public:
    explicit ScreenResolutionOverride(int pixelsPerInch);
    ~ScreenResolutionOverride();
    ScreenResolutionOverride(const ScreenResolutionOverride &) = delete;
    ScreenResolutionOverride &operator=(const ScreenResolutionOverride &) = delete;

private:
    int previous_;
};

} // namespace platform
