// The drawing surface of the player: an RGB image on cairo, with the pen, brush, raster-operation and
// block-transfer rules of the metafile format translated to cairo's. All coordinates are image pixels.
#pragma once

#include "WmfClip.h"
#include "WmfDib.h"
#include "WmfMapping.h"

#include <cairo.h>

#include <cstdint>
#include <span>
#include <vector>

namespace corvane::wmf {

// The most dash and gap lengths a pen of its own dashes has.
inline constexpr std::size_t MaxUserDashes = 16;

// How a pen draws: colour 0x00RRGGBB, width in image pixels, style bits (dashes, caps, joins), and
// dash and gap lengths in image pixels when the pen brings its own.
struct TWmfStroke {
    std::uint32_t Color = 0;
    double Width = 1;
    std::uint16_t Style = 0;
    std::vector<double> Dashes;
};

// How a brush fills. Hatch lines and the 1-bit parts of a pattern are in image pixels.
struct TWmfFill {
    enum TKind : std::uint8_t { fkNone, fkSolid, fkHatch, fkPattern };
    TKind Kind = fkNone;
    std::uint32_t Color = 0;
    std::uint16_t Hatch = 0;
    const TWmfImage* Pattern = nullptr;
};

// What the background of hatches, dashes and text does: nothing (transparent) or take BkColor.
struct TWmfBackground {
    bool Opaque = false;
    std::uint32_t Color = 0xFFFFFF;
};

struct TWmfRectD {
    double X = 0, Y = 0, Width = 0, Height = 0;
};

class TWmfPainter {
public:
    // A white image; throws when the surface cannot be made.
    TWmfPainter(int Width, int Height);
    ~TWmfPainter();
    TWmfPainter(const TWmfPainter&) = delete;
    TWmfPainter& operator=(const TWmfPainter&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    cairo_t* Context() const { return FContext; }
    // False once cairo has refused an operation; it then draws nothing more.
    bool Healthy() const { return cairo_status(FContext) == CAIRO_STATUS_SUCCESS; }

    void SetClip(const TWmfClip& Clip);
    // The binary raster operation for pens and brushes (SetROP2).
    void SetRop2(std::uint16_t Rop2) { FRop2 = Rop2; }

    // The current path, built in image pixels. Coordinates are kept in a range cairo's fixed-point
    // arithmetic holds.
    void NewPath();
    void MoveTo(TWmfPointD Point);
    void LineTo(TWmfPointD Point);
    void CurveTo(TWmfPointD First, TWmfPointD Second, TWmfPointD End);
    void ClosePath();
    void AddRectangle(const TWmfRectD& Rect);
    // An elliptic arc inside Box from angle Start to End (radians, measured on the unit circle the
    // box is scaled from), drawn anticlockwise as seen on the image.
    void AddArc(const TWmfRectD& Box, double Start, double End);
    void AddEllipse(const TWmfRectD& Box);
    void AddRoundRect(const TWmfRectD& Box, double CornerWidth, double CornerHeight);
    // The current path's length in pixels, which bounds the work of dashing it.
    double PathLength() const { return FPathLength; }

    // Fill or outline the current path; the path stays for the other.
    void Fill(const TWmfFill& Fill, const TWmfBackground& Background, bool Winding);
    void Stroke(const TWmfStroke& Stroke, const TWmfBackground& Background);

    // PatBlt and the block transfers whose raster operation uses no source.
    void PatternBlit(const TWmfRectD& Rect, const TWmfFill& Fill, const TWmfBackground& Background,
                     std::uint32_t Rop3);
    // Draws the Source rectangle of Image (pixels, top-down; negative sizes mirror) onto Target.
    // Opacity below 1 blends the whole image in at that strength.
    void ImageBlit(const TWmfImage& Image, const TWmfRectD& Source, const TWmfRectD& Target,
                   std::uint32_t Rop3, bool Smooth, double Opacity = 1);
    void FillRect(const TWmfRectD& Rect, std::uint32_t Color);

    // The image as 8-bit RGB rows, top-down, 3 * Width bytes each. Throws when cairo failed on the way.
    std::vector<std::uint8_t> ToRgb() const;

private:
    // Sets the source and operator for the current ROP2 and colour; false when nothing is to be drawn.
    bool SetPenOrBrushOperator(std::uint32_t& Color) const;
    void SetFillSource(const TWmfFill& Fill, const TWmfBackground& Background, std::uint32_t Color);

    int FWidth = 0, FHeight = 0;
    cairo_surface_t* FSurface = nullptr;
    cairo_t* FContext = nullptr;
    std::uint16_t FRop2 = 13;
    // The current path's length in pixels, and where it ends.
    double FPathLength = 0;
    TWmfPointD FLast;
};

// Beyond this distance from the image nothing is visible, and cairo's fixed-point numbers (24.8 bits)
// still hold it with room to spare.
inline constexpr double CoordinateLimit = 1 << 20;

// Value clamped to the coordinate limit; 0 for what is not a number.
double Bounded(double Value);

// Pixel geometry helper: the extent of a device rectangle given by two corners, normalised.
TWmfRectD RectFromCorners(TWmfPointD A, TWmfPointD B);

} // namespace corvane::wmf
