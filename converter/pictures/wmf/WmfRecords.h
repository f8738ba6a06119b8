// Numbers of the Windows metafile format: record functions, mapping modes, object styles, raster
// operations. Only what the player acts on is listed; other records are skipped by their size.
#pragma once

#include <cstdint>

namespace corvane::wmf {

// Record functions (the whole 16-bit value; the high byte is the record's usual parameter size).
enum TWmfFunction : std::uint16_t {
    wfEOF = 0x0000,
    wfRealizePalette = 0x0035,
    wfSetPalEntries = 0x0037,
    wfSaveDC = 0x001E,
    wfCreatePalette = 0x00F7,
    wfSetBkMode = 0x0102,
    wfSetMapMode = 0x0103,
    wfSetROP2 = 0x0104,
    wfSetPolyFillMode = 0x0106,
    wfSetStretchBltMode = 0x0107,
    wfRestoreDC = 0x0127,
    wfSelectClipRegion = 0x012C,
    wfSelectObject = 0x012D,
    wfSetTextAlign = 0x012E,
    wfDIBCreatePatternBrush = 0x0142,
    wfDeleteObject = 0x01F0,
    wfCreatePatternBrush = 0x01F9,
    wfSetBkColor = 0x0201,
    wfSetTextColor = 0x0209,
    wfSetWindowOrg = 0x020B,
    wfSetWindowExt = 0x020C,
    wfSetViewportOrg = 0x020D,
    wfSetViewportExt = 0x020E,
    wfOffsetWindowOrg = 0x020F,
    wfOffsetViewportOrg = 0x0211,
    wfLineTo = 0x0213,
    wfMoveTo = 0x0214,
    wfOffsetClipRgn = 0x0220,
    wfSelectPalette = 0x0234,
    wfCreatePenIndirect = 0x02FA,
    wfCreateFontIndirect = 0x02FB,
    wfCreateBrushIndirect = 0x02FC,
    wfCreateBitmapIndirect = 0x02FD,
    wfPolygon = 0x0324,
    wfPolyline = 0x0325,
    wfScaleWindowExt = 0x0410,
    wfScaleViewportExt = 0x0412,
    wfExcludeClipRect = 0x0415,
    wfIntersectClipRect = 0x0416,
    wfEllipse = 0x0418,
    wfRectangle = 0x041B,
    wfSetPixel = 0x041F,
    wfTextOut = 0x0521,
    wfPolyPolygon = 0x0538,
    wfRoundRect = 0x061C,
    wfPatBlt = 0x061D,
    wfEscape = 0x0626,
    wfCreateBitmap = 0x06FE,
    wfCreateRegion = 0x06FF,
    wfArc = 0x0817,
    wfPie = 0x081A,
    wfChord = 0x0830,
    wfDIBBitBlt = 0x0940,
    wfExtTextOut = 0x0A32,
    wfDIBStretchBlt = 0x0B41,
    wfSetDIBToDev = 0x0D33,
    wfStretchDIB = 0x0F43,
};

enum TWmfMapMode : std::uint16_t {
    mmText = 1,
    mmLoMetric = 2,
    mmHiMetric = 3,
    mmLoEnglish = 4,
    mmHiEnglish = 5,
    mmTwips = 6,
    mmIsotropic = 7,
    mmAnisotropic = 8,
};

enum TWmfBkMode : std::uint16_t { bkTransparent = 1, bkOpaque = 2 };

enum TWmfPolyFillMode : std::uint16_t { pfAlternate = 1, pfWinding = 2 };

enum TWmfStretchMode : std::uint16_t {
    smBlackOnWhite = 1,
    smWhiteOnBlack = 2,
    smColorOnColor = 3,
    smHalftone = 4
};

// Binary raster operations of SetROP2.
enum TWmfROP2 : std::uint16_t {
    r2Black = 1,
    r2NotMergePen = 2,
    r2MaskNotPen = 3,
    r2NotCopyPen = 4,
    r2MaskPenNot = 5,
    r2Not = 6,
    r2XorPen = 7,
    r2NotMaskPen = 8,
    r2MaskPen = 9,
    r2NotXorPen = 10,
    r2Nop = 11,
    r2MergeNotPen = 12,
    r2CopyPen = 13,
    r2MergePenNot = 14,
    r2MergePen = 15,
    r2White = 16,
};

// Ternary raster operations of the block transfers (the full 32-bit codes).
enum TWmfROP3 : std::uint32_t {
    r3Blackness = 0x00000042,
    r3NotSrcErase = 0x001100A6,
    r3NotSrcCopy = 0x00330008,
    r3SrcErase = 0x00440328,
    r3DstInvert = 0x00550009,
    r3PatInvert = 0x005A0049,
    r3SrcInvert = 0x00660046,
    r3SrcAnd = 0x008800C6,
    r3Dst = 0x00AA0029,
    r3MergePaint = 0x00BB0226,
    r3MergeCopy = 0x00C000CA,
    r3SrcCopy = 0x00CC0020,
    r3SrcPaint = 0x00EE0086,
    r3PatCopy = 0x00F00021,
    r3PatPaint = 0x00FB0A09,
    r3Whiteness = 0x00FF0062,
};

// A ternary raster operation reads the source when its result changes with the source bit (bit 1 of
// the index that the operation's truth table is looked up by; the pattern is bit 2, the destination bit 0).
inline constexpr bool RopUsesSource(std::uint32_t Rop3) {
    const std::uint32_t Table = (Rop3 >> 16) & 0xFF;
    return ((Table >> 2) & 0x33) != (Table & 0x33);
}

enum TWmfPenStyle : std::uint16_t {
    psSolid = 0,
    psDash = 1,
    psDot = 2,
    psDashDot = 3,
    psDashDotDot = 4,
    psNull = 5,
    psInsideFrame = 6,
    psStyleMask = 0x000F,
    psEndCapSquare = 0x0100,
    psEndCapFlat = 0x0200,
    psEndCapMask = 0x0F00,
    psJoinBevel = 0x1000,
    psJoinMiter = 0x2000,
    psJoinMask = 0xF000,
};

enum TWmfBrushStyle : std::uint16_t {
    bsSolid = 0,
    bsNull = 1,
    bsHatched = 2,
    bsPattern = 3,
    bsDIBPattern = 5,
    bsDIBPatternPT = 6,
};

enum TWmfHatchStyle : std::uint16_t {
    hsHorizontal = 0,
    hsVertical = 1,
    hsFDiagonal = 2,
    hsBDiagonal = 3,
    hsCross = 4,
    hsDiagCross = 5,
};

// SetTextAlign flags.
enum TWmfTextAlign : std::uint16_t {
    taUpdateCP = 0x0001,
    taRight = 0x0002,
    taCenter = 0x0006,
    taHorizontalMask = 0x0006,
    taBottom = 0x0008,
    taBaseline = 0x0018,
    taVerticalMask = 0x0018,
};

// ExtTextOut options.
enum TWmfTextOutOption : std::uint16_t { etoOpaque = 0x0002, etoClipped = 0x0004 };

enum TWmfColorUsage : std::uint16_t { cuRGBColors = 0, cuPalColors = 1 };

// Flag byte of a colour reference: the low word is an index into the selected palette.
inline constexpr std::uint8_t ColorRefPaletteIndex = 0x01;

} // namespace corvane::wmf
