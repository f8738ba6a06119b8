// Numbers of the enhanced metafile format: record types, stock objects and the flags the player reads.
// Records not listed here are skipped by their size.
#pragma once

#include <cstdint>

namespace corvane::wmf {

enum TEmfRecordType : std::uint32_t {
    erHeader = 1,
    erPolyBezier = 2,
    erPolygon = 3,
    erPolyline = 4,
    erPolyBezierTo = 5,
    erPolylineTo = 6,
    erPolyPolyline = 7,
    erPolyPolygon = 8,
    erSetWindowExtEx = 9,
    erSetWindowOrgEx = 10,
    erSetViewportExtEx = 11,
    erSetViewportOrgEx = 12,
    erEOF = 14,
    erSetPixelV = 15,
    erSetMapMode = 17,
    erSetBkMode = 18,
    erSetPolyFillMode = 19,
    erSetROP2 = 20,
    erSetStretchBltMode = 21,
    erSetTextAlign = 22,
    erSetTextColor = 24,
    erSetBkColor = 25,
    erOffsetClipRgn = 26,
    erMoveToEx = 27,
    erExcludeClipRect = 29,
    erIntersectClipRect = 30,
    erScaleViewportExtEx = 31,
    erScaleWindowExtEx = 32,
    erSaveDC = 33,
    erRestoreDC = 34,
    erSetWorldTransform = 35,
    erModifyWorldTransform = 36,
    erSelectObject = 37,
    erCreatePen = 38,
    erCreateBrushIndirect = 39,
    erDeleteObject = 40,
    erAngleArc = 41,
    erEllipse = 42,
    erRectangle = 43,
    erRoundRect = 44,
    erArc = 45,
    erChord = 46,
    erPie = 47,
    erSelectPalette = 48,
    erCreatePalette = 49,
    erLineTo = 54,
    erArcTo = 55,
    erPolyDraw = 56,
    erSetArcDirection = 57,
    erBeginPath = 59,
    erEndPath = 60,
    erCloseFigure = 61,
    erFillPath = 62,
    erStrokeAndFillPath = 63,
    erStrokePath = 64,
    erWidenPath = 66,
    erSelectClipPath = 67,
    erAbortPath = 68,
    erComment = 70,
    erFillRgn = 71,
    erPaintRgn = 74,
    erExtSelectClipRgn = 75,
    erBitBlt = 76,
    erStretchBlt = 77,
    erSetDIBitsToDevice = 80,
    erStretchDIBits = 81,
    erExtCreateFontIndirectW = 82,
    erExtTextOutA = 83,
    erExtTextOutW = 84,
    erPolyBezier16 = 85,
    erPolygon16 = 86,
    erPolyline16 = 87,
    erPolyBezierTo16 = 88,
    erPolylineTo16 = 89,
    erPolyPolyline16 = 90,
    erPolyPolygon16 = 91,
    erPolyDraw16 = 92,
    erCreateMonoBrush = 93,
    erCreateDIBPatternBrushPt = 94,
    erExtCreatePen = 95,
    erAlphaBlend = 114,
    erGradientFill = 118,
};

// The stock objects are named by their number with the high bit set.
inline constexpr std::uint32_t StockObjectFlag = 0x80000000;
enum TEmfStockObject : std::uint32_t {
    soWhiteBrush = 0,
    soLtGrayBrush = 1,
    soGrayBrush = 2,
    soDkGrayBrush = 3,
    soBlackBrush = 4,
    soNullBrush = 5,
    soWhitePen = 6,
    soBlackPen = 7,
    soNullPen = 8,
    soOemFixedFont = 10,
    soDefaultGuiFont = 17,
    soDefaultPalette = 15,
    soDCBrush = 18,
    soDCPen = 19,
};

enum TEmfWorldTransformMode : std::uint32_t {
    wtIdentity = 1,
    wtLeftMultiply = 2,
    wtRightMultiply = 3,
    wtSet = 4
};

enum TEmfGradientMode : std::uint32_t { gmRectH = 0, gmRectV = 1, gmTriangle = 2 };

enum TEmfRegionMode : std::uint32_t { rgAnd = 1, rgOr = 2, rgXor = 3, rgDiff = 4, rgCopy = 5 };

// Point types of PolyDraw; any other draws a line.
enum TEmfPointType : std::uint8_t { ptCloseFigure = 1, ptBezierTo = 4, ptMoveTo = 6 };

// Pen style bits beyond those a Windows metafile has.
inline constexpr std::uint32_t PenGeometric = 0x00010000;
inline constexpr std::uint32_t PenUserStyle = 7;
inline constexpr std::uint32_t PenAlternate = 8;

// ExtTextOut options of enhanced metafiles.
inline constexpr std::uint32_t EtoGlyphIndex = 0x0010;
inline constexpr std::uint32_t EtoNoRect = 0x0100;
inline constexpr std::uint32_t EtoPdy = 0x2000;

inline constexpr std::uint32_t EmfSignature = 0x464D4520;     // " EMF"
inline constexpr std::uint32_t EmfPlusSignature = 0x2B464D45; // "EMF+" opening a comment's data
inline constexpr std::uint16_t EmfPlusHeaderType = 0x4001;
inline constexpr std::uint16_t EmfPlusDual = 0x0001; // the header's flag: EMF records draw the same

inline constexpr std::uint8_t AlphaFromSource = 0x01; // AC_SRC_ALPHA of a blend function

} // namespace corvane::wmf
