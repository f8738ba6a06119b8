// Text output: the metafile's bytes decoded by the font's character set, drawn with fontconfig fonts
// through cairo. Font names are matched by fontconfig, whose metric-compatible families stand in for
// the usual Windows faces.
#pragma once

#include "WmfObjects.h"
#include "WmfPainter.h"

#include <cstdint>
#include <span>
#include <vector>

namespace corvane::wmf {

struct TWmfTextOut {
    std::span<const std::uint8_t> Text; // in the font's character set, or UTF-16LE
    bool Utf16 = false;
    std::vector<double> Advances; // image pixels per byte (per code unit of UTF-16); empty: the font's own
    TWmfPointD Origin;            // the reference point, in image pixels
    double EmScale = 1;           // image pixels per logical unit of font height
    double DefaultEm = 16;        // the em in image pixels of a font of height 0
    double Rotation = 0;          // of the baseline on the image, radians, clockwise as cairo turns
    std::uint16_t Align = 0;      // SetTextAlign flags
    std::uint32_t Color = 0;
    TWmfBackground Background;
};

// Draws the text; returns its advance along the baseline in image pixels.
double DrawText(TWmfPainter& Painter, const TWmfFont& Font, const TWmfTextOut& Text);

} // namespace corvane::wmf
