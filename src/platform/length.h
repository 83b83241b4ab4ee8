#pragma once
// A length in native units (a tenth of a millimetre) held in extended precision, as the report
// engine holds every length, with its conversions to and from millimetres, inches and the
// pixels of a device. The conversions never round; the rounded ones round as the engine does
// everywhere, to nearest with halves to even.

#include "platform/rounding.h"
#include "platform/units.h"

#include <compare>

namespace platform {

class TLength {
public:
    constexpr TLength() = default;

    static constexpr TLength fromNative(long double native) { return TLength(native); }
    static constexpr TLength fromMm(long double mm) { return TLength(mm * nativePerMm); }
    static constexpr TLength fromInches(long double inches)
    {
        return TLength(inches * nativePerInch);
    }
    // `pixels` of a device of `pixelsPerInch`.
    static constexpr TLength fromPixels(long double pixels, long double pixelsPerInch)
    {
        return TLength(pixels * nativePerInch / pixelsPerInch);
    }
    // The metafile frame's hundredths of a millimetre.
    static constexpr TLength fromHundredthsMm(long double hundredths)
    {
        return TLength(hundredths / hundredthsMmPerNative);
    }

    constexpr long double native() const { return native_; }
    long long roundedNative() const { return roundHalfEven(native_); }
    constexpr long double mm() const { return native_ / nativePerMm; }
    constexpr long double inches() const { return native_ / nativePerInch; }
    constexpr long double pixels(long double pixelsPerInch) const
    {
        return native_ * pixelsPerInch / nativePerInch;
    }
    long long roundedPixels(long double pixelsPerInch) const
    {
        return roundHalfEven(pixels(pixelsPerInch));
    }

    // The scale between native units and the pixels of a device of `pixelsPerInch`.
    static constexpr long double pixelsPerNative(long double pixelsPerInch)
    {
        return pixelsPerInch / nativePerInch;
    }
    static constexpr long double nativePerPixel(long double pixelsPerInch)
    {
        return nativePerInch / pixelsPerInch;
    }

    // Sums, differences, whole multiples and parts work on the native value exactly as the engine's
    // arithmetic on bare native numbers did, operand for operand, so no result moves.
    constexpr TLength &operator+=(TLength other)
    {
        native_ += other.native_;
        return *this;
    }
    friend constexpr TLength operator+(TLength a, TLength b)
    {
        return TLength(a.native_ + b.native_);
    }
    friend constexpr TLength operator-(TLength a, TLength b)
    {
        return TLength(a.native_ - b.native_);
    }
    friend constexpr TLength operator*(int count, TLength a) { return TLength(count * a.native_); }
    friend constexpr TLength operator/(TLength a, int parts) { return TLength(a.native_ / parts); }
    friend constexpr bool operator==(const TLength &, const TLength &) = default;
    friend constexpr auto operator<=>(const TLength &, const TLength &) = default;

private:
    constexpr explicit TLength(long double native) : native_(native) {}

    long double native_ = 0;
};

// The page output and the printer system measure paper and text positions in double-precision
// millimetres (export formats, Qt's page sizes); these keep that precision.
inline constexpr double mmFromPixels(double pixels, double pixelsPerInch)
{
    return pixels * static_cast<double>(mmPerInch) / pixelsPerInch;
}
inline constexpr double pixelsFromMm(double mm, double pixelsPerInch)
{
    return mm / static_cast<double>(mmPerInch) * pixelsPerInch;
}
inline constexpr double mmFromNative(double native)
{
    return native * static_cast<double>(mmPerNative);
}

} // namespace platform
