#pragma once
// The units the program converts between, named once. Lengths of a definition are native units
// of a tenth of a millimetre held in extended precision; devices count pixels per inch; fonts
// are sized in points; the metafile format and the printer system count whole fixed units.
// platform/length.h holds the conversions themselves.

namespace platform {

inline constexpr long double pointsPerInch = 72.0L;
inline constexpr long double nativePerInch = 254.0L;
inline constexpr long double nativePerMm = 10.0L;
// The same tenth of a millimetre as a factor: the export filters multiply by it, and a
// product is not always the quotient by nativePerMm to the last bit.
inline constexpr long double mmPerNative = 0.1L;
inline constexpr long double mmPerInch = 25.4L;
inline constexpr long double cmPerInch = 2.54L;

// The standard screen: the pixel grid report definitions are made against, stored pages are
// measured in and printer text widths are scaled to.
inline constexpr int screenDpi = 96;
// Device pixels per native unit of the standard screen as the system rounds it (96 ÷ 254 to
// five decimals): what a page target scales by until a destination sets its own factors.
inline constexpr long double roundedScreenPixelsPerNative = 0.37795L;

inline constexpr int hundredthsMmPerInch = 2540;
inline constexpr long double hundredthsMmPerNative = 10.0L;
inline constexpr int micrometresPerInch = 25400;
inline constexpr int twipsPerInch = 1440;
// The metafile's fixed mapping modes, in the micrometres its reference device is measured in.
inline constexpr double micrometresPerHundredthMm = 10;
inline constexpr double micrometresPerTenthMm = 100;
inline constexpr double micrometresPerHundredthInch = micrometresPerInch / 100.0;
inline constexpr double micrometresPerThousandthInch = micrometresPerInch / 1000.0;
inline constexpr double micrometresPerTwip = static_cast<double>(micrometresPerInch) / twipsPerInch;

} // namespace platform
