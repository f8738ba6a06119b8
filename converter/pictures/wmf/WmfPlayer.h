// Our Windows metafile player: plays a placeable metafile onto an RGB image and encodes it as PNG.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvane::wmf {

// The largest image the player renders.
inline constexpr std::uint64_t MaxImagePixels = 16'000'000;
inline constexpr int MaxImageSide = 16384;

inline constexpr bool ImageSizeAllowed(int Width, int Height) {
    return Width > 0 && Height > 0 && Width <= MaxImageSide && Height <= MaxImageSide &&
           static_cast<std::uint64_t>(Width) * static_cast<std::uint64_t>(Height) <= MaxImagePixels;
}

// Plays PlaceableMetafile (the 22-byte placeable header, then the metafile) onto a white image of
// Width x Height pixels, with the header's bounding box stretched over the whole image. Returns the
// image as RGB rows (3 * Width bytes each, top-down), or nothing when the size is 0 or over the limits,
// or when the metafile cannot be read: a wrong key or checksum, a bad metafile header, a record that
// runs past the data or is shorter than a record can be, an object index outside the object table, a
// bitmap larger than its bytes. Nothing is read outside PlaceableMetafile.
std::optional<std::vector<std::uint8_t>> RenderWmf(std::span<const std::uint8_t> PlaceableMetafile, int Width,
                                                   int Height);

// RenderWmf, encoded as a PNG file (colour type 2, 8 bits per sample).
std::optional<std::vector<std::uint8_t>> RenderWmfToPng(std::span<const std::uint8_t> PlaceableMetafile,
                                                        int Width, int Height);

// Frees the font and drawing caches that cairo and fontconfig keep for the whole process. Only for the
// very end of a process that checks for leaks; no rendering may run during or after the call.
void ReleaseGraphicsCaches();

} // namespace corvane::wmf
