#pragma once
// The enhanced metafile layout: record numbers, field offsets and the GDI constants the pages
// use. All integers in a metafile are little-endian; every record is a multiple of 4 bytes.

#include <cstdint>

namespace platform::emf {

// Record types.
inline constexpr std::uint32_t EMR_HEADER = 1;
inline constexpr std::uint32_t EMR_POLYGON = 3;
inline constexpr std::uint32_t EMR_SETWINDOWEXTEX = 9;
inline constexpr std::uint32_t EMR_SETWINDOWORGEX = 10;
inline constexpr std::uint32_t EMR_SETVIEWPORTEXTEX = 11;
inline constexpr std::uint32_t EMR_SETVIEWPORTORGEX = 12;
inline constexpr std::uint32_t EMR_EOF = 14;
inline constexpr std::uint32_t EMR_SETMAPMODE = 17;
inline constexpr std::uint32_t EMR_SETBKMODE = 18;
inline constexpr std::uint32_t EMR_SETTEXTALIGN = 22;
inline constexpr std::uint32_t EMR_SETTEXTCOLOR = 24;
inline constexpr std::uint32_t EMR_SETBKCOLOR = 25;
inline constexpr std::uint32_t EMR_INTERSECTCLIPRECT = 30;
inline constexpr std::uint32_t EMR_SAVEDC = 33;
inline constexpr std::uint32_t EMR_RESTOREDC = 34;
inline constexpr std::uint32_t EMR_SELECTOBJECT = 37;
inline constexpr std::uint32_t EMR_CREATEPEN = 38;
inline constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
inline constexpr std::uint32_t EMR_DELETEOBJECT = 40;
inline constexpr std::uint32_t EMR_RECTANGLE = 43;
inline constexpr std::uint32_t EMR_EXTSELECTCLIPRGN = 75;
inline constexpr std::uint32_t EMR_BITBLT = 76;
inline constexpr std::uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
inline constexpr std::uint32_t EMR_EXTTEXTOUTA = 83;
inline constexpr std::uint32_t EMR_EXTTEXTOUTW = 84;
inline constexpr std::uint32_t EMR_POLYGON16 = 86;

// Record sizes and offsets (bytes).
inline constexpr std::uint32_t recordHeaderSize = 8;    // Type, Size
inline constexpr std::uint32_t headerMinimumSize = 88;  // EMR_HEADER without extensions
inline constexpr std::uint32_t headerWrittenSize = 108; // with both extensions, no description
inline constexpr std::uint32_t headerSignatureOffset = 40;
inline constexpr std::uint32_t headerBytesOffset = 48;
inline constexpr std::uint32_t headerRecordsOffset = 52;
inline constexpr std::uint32_t headerHandlesOffset = 56;
inline constexpr std::uint32_t headerDeviceOffset = 72;       // reference device, pixels
inline constexpr std::uint32_t headerMillimetersOffset = 80;  // the same in millimetres
inline constexpr std::uint32_t headerMicrometersOffset = 100; // and in micrometres (extension 2)
inline constexpr std::uint32_t headerWithMicrometersSize = 108;
inline constexpr std::uint32_t eofSize = 20;
inline constexpr std::uint32_t bitBltSize = 100;
inline constexpr std::uint32_t logFontSize = 92;          // LogFont with its 32-character face name
inline constexpr std::uint32_t logFontPanoseSize = 320;   // the fixed form GDI writes
inline constexpr std::uint32_t extTextOutFixedSize = 76;  // up to the string
inline constexpr std::uint32_t extTextOutTextOffset = 36; // where the EmrText object starts
inline constexpr std::uint32_t faceNameChars = 32;
inline constexpr std::uint32_t polygonPointsOffset = 28; // after Bounds and the point count

inline constexpr std::uint32_t signature = 0x464D4520; // " EMF"
inline constexpr std::uint32_t formatVersion = 0x00010000;

// Stock objects are selected by index with the high bit set.
inline constexpr std::uint32_t stockObjectFlag = 0x80000000;
inline constexpr std::uint32_t WHITE_BRUSH = 0;
inline constexpr std::uint32_t NULL_BRUSH = 5;
inline constexpr std::uint32_t BLACK_PEN = 7;
inline constexpr std::uint32_t NULL_PEN = 8;
inline constexpr std::uint32_t SYSTEM_FONT = 13;

// Background modes.
inline constexpr std::uint32_t TRANSPARENT = 1;
inline constexpr std::uint32_t OPAQUE = 2;

// Text alignment bits.
inline constexpr std::uint32_t TA_UPDATECP = 1;
inline constexpr std::uint32_t TA_RIGHT = 2;
inline constexpr std::uint32_t TA_CENTER = 6;
inline constexpr std::uint32_t TA_HORIZONTAL_MASK = 6;
inline constexpr std::uint32_t TA_TOP = 0;
inline constexpr std::uint32_t TA_BOTTOM = 8;
inline constexpr std::uint32_t TA_BASELINE = 24;
inline constexpr std::uint32_t TA_VERTICAL_MASK = 24;

// ExtTextOut options.
inline constexpr std::uint32_t ETO_OPAQUE = 0x0002;
inline constexpr std::uint32_t ETO_CLIPPED = 0x0004;
inline constexpr std::uint32_t ETO_PDY = 0x2000;

// Brush and pen styles.
inline constexpr std::uint32_t BS_SOLID = 0;
inline constexpr std::uint32_t BS_NULL = 1;
inline constexpr std::uint32_t PS_SOLID = 0;
inline constexpr std::uint32_t PS_DASH = 1;
inline constexpr std::uint32_t PS_DOT = 2;
inline constexpr std::uint32_t PS_DASHDOT = 3;
inline constexpr std::uint32_t PS_DASHDOTDOT = 4;
inline constexpr std::uint32_t PS_NULL = 5;
inline constexpr std::uint32_t PS_INSIDEFRAME = 6;
inline constexpr std::uint32_t PS_STYLE_MASK = 0x0F;

// Raster operations of a BitBlt without source.
inline constexpr std::uint32_t PATCOPY = 0x00F00021;
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;

inline constexpr std::uint32_t GM_COMPATIBLE = 1;

// Map modes: how logical coordinates become device pixels.
inline constexpr std::uint32_t MM_TEXT = 1;
inline constexpr std::uint32_t MM_LOMETRIC = 2;
inline constexpr std::uint32_t MM_HIMETRIC = 3;
inline constexpr std::uint32_t MM_LOENGLISH = 4;
inline constexpr std::uint32_t MM_HIENGLISH = 5;
inline constexpr std::uint32_t MM_TWIPS = 6;
inline constexpr std::uint32_t MM_ISOTROPIC = 7;
inline constexpr std::uint32_t MM_ANISOTROPIC = 8;
inline constexpr std::uint32_t RGN_COPY = 5;

// Font weights and the character set written.
inline constexpr std::int32_t FW_NORMAL = 400;
inline constexpr std::int32_t FW_BOLD = 700;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;

// Hundredths of a millimetre per inch, for the frame in the header.
inline constexpr int hundredthsMmPerInch = 2540;
inline constexpr int micrometresPerInch = 25400;
inline constexpr int pointsPerInch = 72;
inline constexpr int twipsPerInch = 1440;
// The pixel grid of a page: TMetafile's width and height, and what the player stretches.
inline constexpr int pagePixelsPerInch = 96;

} // namespace platform::emf
