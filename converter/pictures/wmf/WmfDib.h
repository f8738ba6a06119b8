// Decoding of the device-independent bitmaps that metafiles carry (packed: header, colour table, bits).
#pragma once

#include "WmfBytes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvane::wmf {

// The largest bitmap the player decodes, in pixels (as large as the largest image it renders).
inline constexpr std::uint64_t MaxDibPixels = 16'000'000;

// A decoded bitmap: rows top-down, each pixel in cairo's premultiplied ARGB32 layout. Pixels that a
// run-length encoded bitmap skips stay transparent, so they leave the destination alone.
struct TWmfImage {
    int Width = 0;
    int Height = 0;
    bool BottomUp = true; // how the bits were stored, which decides where a source y counts from
    std::vector<std::uint32_t> Pixels;
};

inline constexpr std::uint32_t OpaquePixel(std::uint32_t Rgb) {
    return 0xFF000000u | (Rgb & 0x00FFFFFFu);
}

// Decodes a packed DIB with 1, 4, 8, 16, 24 or 32 bits per pixel, stored bottom-up or top-down, without
// compression, with bit fields, or run-length encoded (RLE4, RLE8). ColorUsage 1 makes the colour table
// a list of indices into Palette (0x00RRGGBB entries). ScanCount, when given, is the number of rows the
// bits hold (a band of the bitmap); the image then has that many rows.
//
// KeepAlpha takes the fourth byte of 32-bit pixels as straight alpha (for blending) instead of ignoring it.
//
// Returns nothing for a bitmap that is well formed but has nothing to draw or a format the player
// does not decode (an embedded JPEG, say). Throws when the bitmap is malformed: a header or colour
// table or bits that run past Dib, a size over MaxDibPixels, or more pixels than PixelBudget has left
// (the budget caps the decoding work of one whole metafile and is reduced by what this one decodes).
std::optional<TWmfImage> DecodeDib(TWmfBytes Dib, std::uint16_t ColorUsage,
                                   std::span<const std::uint32_t> Palette, std::uint64_t& PixelBudget,
                                   std::optional<std::uint32_t> ScanCount = std::nullopt,
                                   bool KeepAlpha = false);

} // namespace corvane::wmf
