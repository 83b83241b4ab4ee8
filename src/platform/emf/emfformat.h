#pragma once
// The enhanced metafile layout: record numbers, field offsets and the GDI constants the pages
// use. All integers in a metafile are little-endian; every record is a multiple of 4 bytes.

#include "platform/units.h"

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

// Record sizes and field offsets, in bytes from the start of the record (of the embedded
// object where said). Rectangles are four 32-bit fields (left, top, right, bottom), sizes two
// (cx, cy), points two (x, y).
inline constexpr std::uint32_t recordTypeOffset = 0;
inline constexpr std::uint32_t recordSizeOffset = 4;
inline constexpr std::uint32_t recordHeaderSize = 8; // Type, Size
inline constexpr std::uint32_t rectLeftOffset = 0;   // within a rectangle
inline constexpr std::uint32_t rectTopOffset = 4;
inline constexpr std::uint32_t rectRightOffset = 8;
inline constexpr std::uint32_t rectBottomOffset = 12;
inline constexpr std::uint32_t sizeCxOffset = 0; // within a size or point
inline constexpr std::uint32_t sizeCyOffset = 4;

// Records of one or two 32-bit parameters (modes, colours, object indexes, a point or size)
// and of one rectangle (EMR_RECTANGLE, EMR_INTERSECTCLIPRECT).
inline constexpr std::uint32_t parameterOffset = 8;
inline constexpr std::uint32_t secondParameterOffset = 12;
inline constexpr std::uint32_t oneParameterSize = 12;
inline constexpr std::uint32_t twoParametersSize = 16;
inline constexpr std::uint32_t rectangleRecordSize = 24;

// EMR_HEADER.
inline constexpr std::uint32_t headerBoundsOffset = 8; // inclusive, device pixels
inline constexpr std::uint32_t headerFrameOffset = 24; // inclusive, hundredths of a millimetre
inline constexpr std::uint32_t headerSignatureOffset = 40;
inline constexpr std::uint32_t headerVersionOffset = 44;
inline constexpr std::uint32_t headerBytesOffset = 48;
inline constexpr std::uint32_t headerRecordsOffset = 52;
inline constexpr std::uint32_t headerHandlesOffset = 56; // 16 bits, then a reserved word
inline constexpr std::uint32_t headerDescriptionCharsOffset = 60;
inline constexpr std::uint32_t headerDescriptionStartOffset = 64;
inline constexpr std::uint32_t headerPaletteEntriesOffset = 68;
inline constexpr std::uint32_t headerDeviceOffset = 72;          // reference device, pixels
inline constexpr std::uint32_t headerMillimetersOffset = 80;     // the same in millimetres
inline constexpr std::uint32_t headerMinimumSize = 88;           // without extensions
inline constexpr std::uint32_t headerPixelFormatSizeOffset = 88; // extension 1
inline constexpr std::uint32_t headerPixelFormatStartOffset = 92;
inline constexpr std::uint32_t headerOpenGlOffset = 96;
inline constexpr std::uint32_t headerMicrometersOffset = 100; // extension 2: the device in µm
inline constexpr std::uint32_t headerWithMicrometersSize = 108;
inline constexpr std::uint32_t headerWrittenSize = 108; // with both extensions, no description

// EMR_EOF.
inline constexpr std::uint32_t eofPaletteEntriesOffset = 8;
inline constexpr std::uint32_t eofPaletteStartOffset = 12;
inline constexpr std::uint32_t eofSizeLastOffset = 16;
inline constexpr std::uint32_t eofSize = 20;

// Object records: the object's index in the handle table first (also of EMR_SELECTOBJECT and
// EMR_DELETEOBJECT).
inline constexpr std::uint32_t objectIndexOffset = 8;
// EMR_CREATEBRUSHINDIRECT.
inline constexpr std::uint32_t brushStyleOffset = 12;
inline constexpr std::uint32_t brushColorOffset = 16;
inline constexpr std::uint32_t brushHatchOffset = 20;
inline constexpr std::uint32_t createBrushSize = 24;
// EMR_CREATEPEN.
inline constexpr std::uint32_t penStyleOffset = 12;
inline constexpr std::uint32_t penWidthOffset = 16; // a point; only x counts
inline constexpr std::uint32_t penColorOffset = 24;
inline constexpr std::uint32_t createPenSize = 28;
// EMR_EXTCREATEFONTINDIRECTW: a LogFont, then (in the form GDI writes) the Panose fields.
inline constexpr std::uint32_t fontLogFontOffset = 12;
inline constexpr std::uint32_t logFontHeightOffset = 0; // within the LogFont
inline constexpr std::uint32_t logFontWeightOffset = 16;
inline constexpr std::uint32_t logFontItalicOffset = 20; // one byte each from here
inline constexpr std::uint32_t logFontUnderlineOffset = 21;
inline constexpr std::uint32_t logFontStrikeOutOffset = 22;
inline constexpr std::uint32_t logFontCharSetOffset = 23;
inline constexpr std::uint32_t logFontFaceNameOffset = 28; // 16-bit characters
inline constexpr std::uint32_t faceNameChars = 32;
inline constexpr std::uint32_t logFontSize = 92;        // LogFont with its 32-character face name
inline constexpr std::uint32_t logFontPanoseSize = 320; // the fixed form GDI writes

// EMR_BITBLT.
inline constexpr std::uint32_t bitBltBoundsOffset = 8;
inline constexpr std::uint32_t bitBltDestinationOffset = 24;     // x, y
inline constexpr std::uint32_t bitBltDestinationSizeOffset = 32; // cx, cy
inline constexpr std::uint32_t bitBltRasterOperationOffset = 40;
inline constexpr std::uint32_t bitBltSourceOffset = 44;          // x, y
inline constexpr std::uint32_t bitBltSourceTransformOffset = 52; // six floats
inline constexpr std::uint32_t bitBltSourceBkColorOffset = 76;
inline constexpr std::uint32_t bitBltSourceUsageOffset = 80;
inline constexpr std::uint32_t bitBltSourceBitmapInfoOffset = 84; // 0: no source bitmap
inline constexpr std::uint32_t bitBltSize = 100;

// EMR_EXTTEXTOUTA and EMR_EXTTEXTOUTW: bounds, graphics mode and scales, then an EmrText.
inline constexpr std::uint32_t extTextOutBoundsOffset = 8;
inline constexpr std::uint32_t extTextOutGraphicsModeOffset = 24;
inline constexpr std::uint32_t extTextOutScaleXOffset = 28;
inline constexpr std::uint32_t extTextOutScaleYOffset = 32;
inline constexpr std::uint32_t extTextOutTextOffset = 36;  // where the EmrText object starts
inline constexpr std::uint32_t extTextOutFixedSize = 76;   // up to the string
inline constexpr std::uint32_t emrTextReferenceOffset = 0; // within the EmrText
inline constexpr std::uint32_t emrTextCharsOffset = 8;
inline constexpr std::uint32_t emrTextStringStartOffset = 12;
inline constexpr std::uint32_t emrTextOptionsOffset = 16;
inline constexpr std::uint32_t emrTextRectangleOffset = 20;
inline constexpr std::uint32_t emrTextDxStartOffset = 36;

// EMR_EXTSELECTCLIPRGN.
inline constexpr std::uint32_t clipRegionBytesOffset = 8;
inline constexpr std::uint32_t clipRegionModeOffset = 12;

// EMR_POLYGON and EMR_POLYGON16: bounds, the point count, the points.
inline constexpr std::uint32_t polygonCountOffset = 24;
inline constexpr std::uint32_t polygonPointsOffset = 28;

inline constexpr std::uint32_t signature = 0x464D4520; // " EMF"
// A colour reference is 0x00BBGGRR; the top byte is no part of the colour.
inline constexpr std::uint32_t colorMask = 0x00FFFFFF;
inline constexpr std::uint32_t formatVersion = 0x00010000;

// Stock objects are selected by index with the high bit set.
inline constexpr std::uint32_t stockObjectFlag = 0x80000000;
inline constexpr std::uint32_t WHITE_BRUSH = 0;
inline constexpr std::uint32_t BLACK_BRUSH = 4;
inline constexpr std::uint32_t NULL_BRUSH = 5;
inline constexpr std::uint32_t WHITE_PEN = 6;
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

} // namespace platform::emf
