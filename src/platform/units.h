#pragma once
// The units the program converts between, named once. Lengths of a definition are native units
// of a tenth of a millimetre held in extended precision; devices count pixels per inch; fonts
// are sized in points; the metafile format and the printer system count whole fixed units.

namespace platform {

inline constexpr long double pointsPerInch = 72.0L;
inline constexpr long double nativePerInch = 254.0L;
inline constexpr long double nativePerMm = 10.0L;
inline constexpr long double mmPerInch = 25.4L;
inline constexpr long double cmPerInch = 2.54L;

// The standard screen: the pixel grid report definitions are made against and stored pages
// are measured in.
inline constexpr int screenDpi = 96;

inline constexpr int hundredthsMmPerInch = 2540;
inline constexpr int micrometresPerInch = 25400;
inline constexpr int twipsPerInch = 1440;

} // namespace platform
