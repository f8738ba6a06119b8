// Text output: the metafile's bytes decoded by the font's character set, drawn with fontconfig fonts
// through cairo. Font names are matched by fontconfig, whose metric-compatible families stand in for
// the usual Windows faces.
#pragma once

#include "WmfMapping.h"
#include "WmfObjects.h"
#include "WmfPainter.h"

#include <cstdint>
#include <span>
#include <vector>

namespace corvane::wmf {

struct TWmfTextOut {
    std::span<const std::uint8_t> Text; // in the font's character set
    std::vector<double> Advances;       // image pixels per byte; empty: the font's own advances
    TWmfPointD Origin;                  // the reference point, in image pixels
    std::uint16_t Align = 0;            // SetTextAlign flags
    std::uint32_t Color = 0;
    TWmfBackground Background;
};

// Draws the text; returns its advance along the baseline in image pixels.
double DrawText(TWmfPainter& Painter, const TWmfFont& Font, const TWmfMapping& Mapping,
                const TWmfTextOut& Text);

} // namespace corvane::wmf
